"""The release archive as a user meets it: the zip scripts/release.sh makes for this
machine's architecture (no test seams, no update server), unpacked into a fresh folder
of a prefix of its own and started from there. A download through the window arrives
whole, and the program writes nothing but its skin library beside itself, its theme
cache under AppData and the downloaded file, and leaves no resume record behind."""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import zipfile
import zlib
from pathlib import Path

import pytest

from lanshi_ui import BUILD, REPO, Driver, Program, run_wine

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "servers"))
from download_rig import answer_and_wait_idle, start_download, wait_message  # noqa: E402
from servers import Nginx, make_file, sha256_of  # noqa: E402

RESUME_KEY = r"HKCU\Software\Lanshi\Downloader"


def arch():
    return subprocess.run(["bash", "-c", f'source "{REPO}/scripts/arch.sh" && echo $LANSHI_ARCH'],
                          check=True, stdout=subprocess.PIPE, text=True).stdout.strip()


@pytest.fixture(scope="module")
def archive():
    """This machine's zip: the one scripts/test.sh made for the run (LANSHI_RELEASE_DIST),
    or made here from the working tree as the release script makes it."""
    version = (REPO / "VERSION").read_text().split()[0]
    name = f"LanshiDownloader-{version}-{'win32' if arch() == 'i686' else 'win64'}.zip"
    dist = os.environ.get("LANSHI_RELEASE_DIST")
    if not dist:
        dist = BUILD / "release-dist"
        env = dict(os.environ, LANSHI_RELEASE_ARCHES=arch(), LANSHI_RELEASE_DIST=str(dist),
                   LANSHI_RELEASE_WORK=f"{BUILD}-release-worktree", LANSHI_UPDATE_SERVER="")
        subprocess.run(["bash", str(REPO / "scripts" / "release.sh"), "--worktree"], env=env, check=True)
    path = Path(dist) / name
    assert path.is_file(), f"no {name} in {dist}"
    sums = (Path(dist) / "SHA256SUMS").read_text()
    assert f"{hashlib.sha256(path.read_bytes()).hexdigest()}  {name}" in sums.splitlines()
    return path, version


def snapshot(root):
    """path -> SHA-256 of every file under root (links not followed: drives point outside)."""
    state = {}
    for dirpath, dirnames, filenames in os.walk(root):
        for name in filenames:
            p = Path(dirpath) / name
            if p.is_symlink() or not p.is_file():
                continue
            try:
                state[p.relative_to(root).as_posix()] = hashlib.sha256(p.read_bytes()).hexdigest()
            except OSError:
                pass  # a file Wine holds open or removes meanwhile
    return state


def changed(before, after):
    return sorted(p for p in after if before.get(p) != after[p]) + sorted(p for p in before if p not in after)


def theme_caches(drive_c):
    return [p for p in drive_c.glob("users/*/AppData/Roaming/E_UIEngine") if p.is_dir()]


@pytest.fixture
def fresh_prefix(wine, tmp_path):
    """A copy of the session's prefix with a wineserver of its own, as if the program had
    never run there: no theme cache, no resume records."""
    env = wine[0]
    prefix = tmp_path / "prefix"
    shutil.copytree(env["WINEPREFIX"], prefix, symlinks=True, ignore=shutil.ignore_patterns("[a-z]:"))
    fresh = dict(env, WINEPREFIX=str(prefix), LANSHI_WINEPREFIX=str(prefix))
    (prefix / "dosdevices" / "c:").symlink_to("../drive_c")
    (prefix / "dosdevices" / "z:").symlink_to("/")
    for cache in theme_caches(prefix / "drive_c"):
        shutil.rmtree(cache)
    run_wine(fresh, "wine", "reg", "delete", RESUME_KEY, "/f")
    driver = Driver(fresh)
    yield prefix, fresh, driver
    driver.close()
    run_wine(fresh, "wineserver", "-k")


def test_unpacked_archive_runs_downloads_and_writes_only_its_own_files(archive, fresh_prefix, tmp_path):
    path, version = archive
    prefix, env, driver = fresh_prefix
    # Names in GBK, as a Chinese Windows reads them.
    with zipfile.ZipFile(path, metadata_encoding="gbk") as z:
        assert [i.filename for i in z.infolist()] == ["LanshiDownloader.exe", "说明.txt"]
        notes = z.read("说明.txt")
        assert notes.count(b"\r\n") == notes.count(b"\n") > 0
        text = notes.decode("gbk")
        for promise in (version, "SkinH_EL.dll", "%APPDATA%", RESUME_KEY, "没有设置更新服务器", "快捷方式"):
            assert promise in text
        folder = tmp_path / "unpacked" / "岚石下载"
        z.extractall(folder)

    www = tmp_path / "www"
    www.mkdir()
    make_file(www / "file.bin", 700_000, seed=7)
    server = Nginx(www, tmp_path / "nginx")
    drive_folder = tmp_path / "drive_t"
    drive_folder.mkdir()
    (prefix / "dosdevices" / "t:").symlink_to(drive_folder)

    drive_c = prefix / "drive_c"
    before_c, before_folder = snapshot(drive_c), snapshot(folder)
    app = Program(driver, folder)
    try:
        app.start()
        assert app.text("本地版本") == f"V{version}"
        start_download(app, server.url("file.bin"), "t", "got", ".bin")
        box = wait_message(app)
        assert box["title"] == "下载成功"
        answer_and_wait_idle(app, box)
        app.close()
        assert app.wait_exit() == 0
    finally:
        app.stop()
        server.stop()
    assert sha256_of(drive_folder / "got.bin") == sha256_of(www / "file.bin")
    assert sorted(p.name for p in drive_folder.iterdir()) == ["got.bin"]

    assert changed(before_folder, snapshot(folder)) == ["SkinH_EL.dll"]
    written_c = changed(before_c, snapshot(drive_c))
    assert theme_caches(drive_c) and any("/AppData/Roaming/E_UIEngine/" in f"/{p}" for p in written_c)
    # WinINet itself keeps its cookie and cache index in the user's profile, whoever uses it.
    ours_or_wininet = ("/AppData/Roaming/E_UIEngine/", "/AppData/Local/Microsoft/Windows/INetCookies/",
                       "/AppData/Local/Microsoft/Windows/INetCache/", "/AppData/Local/Microsoft/Windows/History/")
    assert [p for p in written_c if not any(w in f"/{p}" for w in ours_or_wininet)] == []
    # The finished download's resume record is gone again (the key itself may stay).
    code, out = run_wine(env, "wine", "reg", "query", RESUME_KEY + r"\Partial files")
    assert code != 0 or "REG_SZ" not in out, out


def test_archive_is_reproducible_and_its_notes_name_the_server(archive, tmp_path):
    """What makes two runs give the same bytes: no link time stamp in the program, fixed
    dates and attributes in the zip, and packing the same program again gives the same
    zip. The notes of a build with an update server name it and what is read from it."""
    path, version = archive
    with zipfile.ZipFile(path) as z:
        for info in z.infolist():
            assert (info.date_time, info.create_system, info.external_attr) == ((2020, 1, 1, 0, 0, 0), 0, 0x20)
        exe = z.read("LanshiDownloader.exe")
        # Beside the GBK name (no UTF-8 flag), the UTF-8 one in an Info-ZIP Unicode Path field.
        notes = z.infolist()[1]
        assert notes.flag_bits & 0x800 == 0 and notes.orig_filename.encode("cp437") == "说明.txt".encode("gbk")
        tag, size, version_byte, crc = struct.unpack("<HHBI", notes.extra[:9])
        assert (tag, size, version_byte, crc) == (0x7075, len(notes.extra) - 4, 1, zlib.crc32("说明.txt".encode("gbk")))
        assert notes.extra[9:].decode("utf-8") == "说明.txt"
    pe = int.from_bytes(exe[0x3C:0x40], "little")
    assert exe[pe:pe + 4] == b"PE\0\0" and int.from_bytes(exe[pe + 8:pe + 12], "little") == 0
    (tmp_path / "LanshiDownloader.exe").write_bytes(exe)
    again = tmp_path / "again.zip"
    subprocess.run([sys.executable, str(REPO / "scripts" / "release_zip.py"), str(tmp_path / "LanshiDownloader.exe"),
                    str(again), version, "win32" if arch() == "i686" else "win64", ""], check=True)
    assert again.read_bytes() == path.read_bytes()

    sys.path.insert(0, str(REPO / "scripts"))
    from release_zip import readme
    notes = readme(version, "win64", "http://update.example:8080").decode("gbk")
    for promise in ("64 位", "http://update.example:8080/zelk.txt", "http://update.example:8080/?post=111"):
        assert promise in notes
    assert "没有设置更新服务器" not in notes
