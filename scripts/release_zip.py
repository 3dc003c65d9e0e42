"""Writes one release archive: the program and its 说明.txt, with fixed dates, order
and attributes, so that the same program gives the same bytes.
    release_zip.py <exe> <zip> <version> <win32|win64> <update server or "">"""
import struct
import sys
import zipfile
import zlib

FIXED_DATE = (2020, 1, 1, 0, 0, 0)


def readme(version, suffix, server):
    bits = "32" if suffix == "win32" else "64"
    if server:
        update = [f"这个版本的更新服务器是 {server}。程序每次启动时读取 {server}/zelk.txt 里的版本号;",
                  f"“菜单”→“在线更新”在有新版本时询问, 同意后用浏览器打开 {server}/?post=111。",
                  "程序自己不下载、不安装任何更新。"]
    else:
        update = ["这个版本没有设置更新服务器: 启动时不联网检查版本, “在线更新”不做任何事。"]
    lines = [
        f"岚石万能下载工具 {version} ({bits} 位 Windows 版)",
        "",
        "用途",
        "从网址下载一个文件到本机某个硬盘的根目录。填写下载地址、文件格式(如 .exe)、",
        "文件名和硬盘盘符(如 E), 按“下载”。下载中的文件名为 <文件名>.tmp, 下载完成后",
        "改为最终的名字。按“停止”可以中断; 以后再下载同一个文件时, 程序询问是否从中断处继续。",
        "",
        "安装",
        "不需要安装: 把压缩包解到任意文件夹, 双击 LanshiDownloader.exe 即可运行。",
        "",
        "文件放在哪里",
        "- 下载的文件: 所选硬盘的根目录, 例如 E:\\我的文件.exe; 未完成的是 E:\\我的文件.tmp。",
        "- 皮肤库 SkinH_EL.dll: 程序第一次运行时写在程序所在的文件夹里。",
        "- 界面主题的缓存: %APPDATA%\\E_UIEngine 文件夹。",
        "- 断点续传的记录: 注册表 HKCU\\Software\\Lanshi\\Downloader (只为继续未完成的下载而保留)。",
        "- 桌面快捷方式“岚石万能下载器”: 只在“菜单”→“创建桌面图标”之后才有。",
        "程序没有别的设置文件, 也不读命令行参数。",
        "",
        "更新",
        *update,
        "",
        "卸载",
        "1. 关闭程序, 删除程序所在的文件夹(包括其中的 SkinH_EL.dll)。",
        "2. 删除桌面快捷方式“岚石万能下载器”(如果创建过; 也可以先用“菜单”→“删除桌面图标”)。",
        "3. 删除文件夹 %APPDATA%\\E_UIEngine。",
        "4. 删除注册表项 HKCU\\Software\\Lanshi\\Downloader, 例如在命令提示符里运行:",
        "   reg delete HKCU\\Software\\Lanshi\\Downloader /f",
        "   各硬盘根目录里不再需要的 .tmp 文件可以直接删除。",
        "",
    ]
    return "\r\n".join(lines).encode("gbk")


class _GbkNamedInfo(zipfile.ZipInfo):
    """An entry whose name is stored in GBK without the UTF-8 flag, as a Chinese Windows
    writes and reads zip names (its Explorer reads names in the system's code page, and
    older ones ignore the flag), with the UTF-8 name beside it in an Info-ZIP Unicode
    Path field for the unzip programs that read it."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits & ~0x800


def add(archive, name, data):
    info = _GbkNamedInfo(name, FIXED_DATE)
    if not name.isascii():
        gbk = name.encode("gbk")
        field = b"\x01" + struct.pack("<I", zlib.crc32(gbk)) + name.encode("utf-8")
        info.extra = struct.pack("<HH", 0x7075, len(field)) + field
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 0  # MS-DOS: no Unix modes or owners from this machine
    info.external_attr = 0x20  # archive bit
    archive.writestr(info, data, compresslevel=9)


def main(exe, out, version, suffix, server):
    with open(exe, "rb") as f:
        program = f.read()
    with zipfile.ZipFile(out, "w") as archive:
        add(archive, "LanshiDownloader.exe", program)
        add(archive, "说明.txt", readme(version, suffix, server))


if __name__ == "__main__":
    main(*sys.argv[1:6])
