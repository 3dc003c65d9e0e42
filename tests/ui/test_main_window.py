"""The main window as a person meets it: title, every component, the menu, closing."""
import shutil
import subprocess

from PIL import Image

from lanshi_ui import IDS, MAIN_TITLE, PROGRAM_EXE, Program, win_path

WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_THICKFRAME, WS_CAPTION, WS_SYSMENU = 0x10000, 0x20000, 0x40000, 0xC00000, 0x80000
WS_EX_TOPMOST = 0x8

# name, class, x, y, width, height, visible, tab stop, text.
LAYOUT = [
    ("本地版本", "Static", 416, 160, 32, 16, False, False, "V1.0"),
    ("服务器版本", "Static", 408, 200, 24, 24, False, False, None),  # filled by the version fetch
    ("状态", "Static", 8, 120, 384, 80, True, False, "就绪"),
    ("按钮_停止", "Button", 91, 202, 80, 40, True, True, "停止"),
    ("进度条1", "msctls_progress32", 176, 205, 213, 32, True, False, ""),
    ("透明标签7", "Static", 216, 72, 248, 24, True, False, '提示:如果你下载的文件是exe格式的,如".exe"'),
    ("透明标签6", "Static", 216, 48, 264, 24, True, False, '提示:下载的文件的名字自定义,如"我的文件"'),
    ("透明标签5", "Static", 216, 21, 240, 24, True, False, '提示:下载到"E"盘,只需输入"E"不分大小写'),
    ("透明标签4", "Static", 8, 22, 125, 24, True, False, "请输入下载到那个硬盘:"),
    ("透明标签3", "Static", 8, 46, 88, 24, True, False, "请输入文件名:"),
    ("透明标签2", "Static", 8, 72, 88, 24, True, False, "请输入文件格式:"),
    ("透明标签1", "Static", 8, 98, 104, 24, True, False, "请输入下载地址:"),
    ("编辑框_地址", "Edit", 144, 96, 216, 24, True, True, ""),
    ("格式", "Edit", 144, 72, 40, 24, True, True, ""),
    ("名字", "Edit", 144, 46, 64, 24, True, True, ""),
    ("硬盘", "Edit", 144, 22, 24, 24, True, True, ""),
    ("按钮_下载", "Button", 5, 202, 80, 40, True, True, "下载"),
]


def test_window_title_size_position_and_border(app):
    w = app.window()
    assert w["title"] == MAIN_TITLE
    x, y, width, height = w["rect"]
    assert (width, height) == (469, 298)
    screen_w, screen_h = w["screen"]
    assert (x, y) == ((screen_w - 469) // 2, (screen_h - 298) // 2)
    style = w["style"]
    assert style & WS_CAPTION == WS_CAPTION and style & WS_SYSMENU and style & WS_MINIMIZEBOX
    assert not style & WS_MAXIMIZEBOX and not style & WS_THICKFRAME
    assert not w["exstyle"] & WS_EX_TOPMOST


def test_every_component_in_its_place(app):
    controls = {c["id"]: c for c in app.controls()}
    assert sorted(controls) == sorted(IDS[row[0]] for row in LAYOUT)
    for name, cls, x, y, width, height, visible, tabstop, text in LAYOUT:
        c = controls[IDS[name]]
        assert c["class"] == cls, name
        assert c["rect"] == [x, y, width, height], name
        assert c["visible"] == visible, name
        assert c["tabstop"] == tabstop, name
        assert c["enabled"], name
        if text is not None:
            assert c["text"] == text, name
    assert app.progress() == {"pos": 0, "min": 0, "max": 10000}


READING_ORDER = ["硬盘", "名字", "格式", "编辑框_地址", "按钮_下载", "按钮_停止"]


def test_tab_walks_the_inputs_in_reading_order_from_the_first_box(app):
    names = {IDS[n]: n for n in READING_ORDER}
    assert app.focused_id() == IDS["硬盘"], "the first box has the focus when the window opens"
    for name in READING_ORDER[1:] + READING_ORDER[:1]:  # and round again
        app.tab()
        assert names.get(app.focused_id()) == name
    for name in reversed(READING_ORDER):
        app.tab(back=True)
        assert names.get(app.focused_id()) == name


def test_menu_offers_create_shortcut_and_update_only(app):
    assert app.menu_texts() == ["创建桌面图标  ", "在线更新"]
    # No check marks, no greyed items.
    assert all(item["state"] == 0 for item in app.menu())


def test_typing_into_the_inputs_keeps_chinese_text(app):
    app.type("名字", "我的文件")
    app.type("编辑框_地址", "http://127.0.0.1/a b.exe")
    assert app.text("名字") == "我的文件"
    assert app.text("编辑框_地址") == "http://127.0.0.1/a b.exe"


def _pixels(display, screenshot, app, name):
    # Painting follows the text change asynchronously.
    shot = Image.open(app.settled_shot(lambda: screenshot(name), app.window()["rect"])).convert("RGB")
    wx, wy, _, _ = app.window()["rect"]
    client = app.window()["client"]
    # Client origin on the screen: the window's rect less its right/bottom frame is symmetric.
    frame = (469 - client[2]) // 2
    top = 298 - client[3] - frame
    return shot, wx + frame, wy + top


def test_labels_are_transparent_and_status_wraps_in_red(app, display, screenshot):
    long_status = "第一行文字 " * 12 + "\r\n第二行\r\n第三行\r\n第四行"
    # The status is the program's to write, never a person's: the test sets it to see how it is painted.
    app.driver.must("settext", app.control("状态")["hwnd"], long_status)
    assert app.wait_until(lambda: app.text("状态") == long_status, 5), "the long status was not set"
    shot, ox, oy = _pixels(display, screenshot, app, "status")
    # Background around and under the label is the window's own: nothing painted behind the text.
    # (Compared along one row: a skin may paint the background as a vertical gradient.)
    assert shot.getpixel((ox + 390, oy + 198)) == shot.getpixel((ox + 400, oy + 198))
    reds = [(x, y) for x in range(ox, ox + 463) for y in range(oy + 110, oy + 200)
            if _is_red(shot.getpixel((x, y)))]
    assert reds, "status text is drawn in red"
    assert all(ox + 8 <= x < ox + 8 + 384 and oy + 120 <= y < oy + 200 for x, y in reds)
    # Wrapped: red text on more than one line.
    assert max(y for _, y in reds) - min(y for _, y in reds) > 30

    # A shorter text leaves nothing of the longer one behind.
    app.driver.must("settext", app.control("状态")["hwnd"], "就绪")
    assert app.wait_until(lambda: app.text("状态") == "就绪", 5), "the short status was not set"
    shot, ox, oy = _pixels(display, screenshot, app, "status-short")
    reds = [(x, y) for x in range(ox, ox + 463) for y in range(oy + 110, oy + 200)
            if _is_red(shot.getpixel((x, y)))]
    assert reds and all(x < ox + 8 + 40 and y < oy + 120 + 20 for x, y in reds)


def _is_red(rgb):
    r, g, b = rgb
    return r > 150 and g < 90 and b < 90


def test_closing_the_window_ends_with_exit_code_zero(app):
    app.close()
    assert app.wait_exit() == 0


def test_current_directory_is_the_program_folder_when_started_elsewhere(program, tmp_path):
    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    program.start(workdir=elsewhere)
    # The program writes nothing into the folder it was started from.
    program.close()
    assert program.wait_exit() == 0
    assert list(elsewhere.iterdir()) == []


def test_texts_are_right_whatever_the_ansi_code_page(driver, wine, program_dir):
    """Started under a Western locale (ANSI code page 1252), the Chinese texts still show."""
    env = dict(wine[0], LANG="C.UTF-8")
    exe = program_dir / PROGRAM_EXE.name
    shutil.copy2(PROGRAM_EXE, exe)
    proc = subprocess.Popen(["wine", str(exe)], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        found = driver.must("find", MAIN_TITLE, 30000)
        p = Program(driver, program_dir)
        p.pid, p.hwnd = found["pid"], found["hwnd"]
        p.wait_ready()
        assert p.text("透明标签6") == '提示:下载的文件的名字自定义,如"我的文件"'
        p.type("名字", "我的文件")
        assert p.text("名字") == "我的文件"
        assert p.menu_texts() == ["创建桌面图标  ", "在线更新"]
        p.close()
        assert proc.wait(30) == 0
    finally:
        if proc.poll() is None:
            proc.kill()


def test_executable_carries_icon_manifest_and_version(driver):
    assert driver.must("resources", win_path(PROGRAM_EXE)) == {"icon129": True, "manifest": True, "version": "1.0"}
