"""The exit step and the fatal error exit, through a small program built on the same start-up code."""
from lanshi_ui import BUILD, IDOK, Program

FIXTURE = BUILD / "tests" / "driver" / "bindfail_fixture.exe"


def test_binding_failure_shows_fatal_box_and_exits_minus_one_without_exit_step(driver, tmp_path):
    p = Program(driver, tmp_path, exe=FIXTURE)
    p.start(wait_window=False)
    box = p.wait_dialog(title="错误")
    assert box["text"] == ("运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“NoSuchSkinLibrary.dll”"
                           "中的输出命令“SkinH_SetAero”\r\n")
    assert [b["id"] for b in box["buttons"]] == [IDOK]
    p.answer(box, IDOK)
    assert p.wait_exit() == -1
    assert not (tmp_path / "exit_step_ran.txt").exists()
