"""Writes one release archive: the program and its 说明.txt, with fixed dates, order
and attributes, so that the same program gives the same bytes.
    release_zip.py <exe> <zip> <version> <win32|win64> <update server or "">"""
import sys
import zipfile

FIXED_DATE = (2020, 1, 1, 0, 0, 0)


def readme(version, suffix, server):
    bits = "32" if suffix == "win32" else "64"
    update = (f"这个版本的更新服务器: {server} (启动时读取 {server}/zelk.txt)。"
              if server else "这个版本没有更新服务器: 启动时不联网检查, “在线更新”不显示任何内容。")
    lines = [
        f"岚石万能下载工具 {version} ({bits} 位 Windows)",
        "",
        "用途",
        "输入下载地址、文件格式、文件名和硬盘盘符, 按“下载”, 程序通过 HTTP 下载文件。"
        "下载过程中文件保存为 <文件名>.tmp, 下载完成后改为最终的名字。"
        "“停止”结束下载; 再次下载同一个文件时从断点继续。",
        "",
        "文件放在哪里",
        "下载的文件放在所选硬盘的根目录, 如 E:\\我的文件.exe。",
        "程序第一次运行时在自己的文件夹里写入皮肤库 SkinH_EL.dll, "
        "并在 %APPDATA% 下保存界面主题的颜色缓存。",
        "断点续传的记录保存在注册表 HKCU\\Software\\Lanshi\\Downloader。",
        "“菜单”可以在桌面上创建或删除快捷方式。",
        "",
        "更新",
        update,
        "",
        "卸载",
        "程序不需要安装。删除程序所在的文件夹和桌面快捷方式(如果创建过), "
        "再删除注册表项 HKCU\\Software\\Lanshi\\Downloader 即可。",
        "",
    ]
    return "\r\n".join(lines).encode("gbk")


def add(archive, name, data):
    info = zipfile.ZipInfo(name, FIXED_DATE)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 0  # MS-DOS: no Unix modes or owners from this machine
    info.external_attr = 0x20  # archive bit
    archive.writestr(info, data, compresslevel=9)


def main(exe, out, version, suffix, server):
    with open(exe, "rb") as f:
        program = f.read()
    with zipfile.ZipFile(out, "w") as archive:
        add(archive, "LanshiDownloader.exe", program)
        # The name in UTF-8 with the flag set, which Windows' own unzip reads.
        add(archive, "说明.txt", readme(version, suffix, server))


if __name__ == "__main__":
    main(*sys.argv[1:6])
