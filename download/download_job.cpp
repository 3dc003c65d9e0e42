#include "download/download_job.h"


namespace {
constexpr ComponentId kInputs[] = {ids::编辑框_地址, ids::硬盘, ids::名字, ids::格式};
constexpr DWORD kExitWait = 2000;  // ms; a stopped transfer lets go well within this
}  // namespace

DownloadJob::~DownloadJob() {
  if (session) session->Stop();
  if (thread) ::WaitForSingleObject(thread.get(), kExitWait);
}

DownloadJob& TheDownloadJob() {
  static DownloadJob job;
  return job;
}

void LockInputs(Components& window) {
  // One download at a time: a second press would race the first over the same partial file.
  window.SetComponentDisabled(ids::按钮_下载, true);
  for (ComponentId id : kInputs) window.SetComponentDisabled(id, true);
}

void GiveWindowBack(Components& window) {
  window.SetComponentText(ids::状态, "就绪");
  for (ComponentId id : kInputs) window.SetComponentDisabled(id, false);
  window.SetComponentDisabled(ids::按钮_下载, false);
}
