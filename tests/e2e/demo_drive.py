"""Drives the demo patch program under Xvfb: both targets patched, the
reports printed, screenshots saved. Usage: demo_drive.py PROGRAM GAME DATA OUT"""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from wine_session import WineSession, encode_hex  # noqa: E402


def show(label, data):
    print("  %s: %s" % (label, data.decode("gbk", "replace").replace("\r\n", " / ")))


def main():
    program, game, data, out = sys.argv[1:5]
    with WineSession() as session:
        driver = session.driver()
        driver("start " + session.wine_path(program))
        if driver("main 30000") != "main":
            print("the patch program did not open its window")
            return 1
        print("window open:")
        show("caption", driver.text("caption"))
        show("status", driver.text("get 1113"))
        show("panel", driver.text("get 1112"))
        session.screenshot(os.path.join(out, "1-first-target.png"))
        driver("click 3")
        driver("owned 10000")
        session.screenshot(os.path.join(out, "2-about.png"))
        driver("answer 1")
        for number, path in enumerate((game, data), 1):
            driver("set 2222 " + encode_hex(session.wine_path(path).encode("gbk")))
            driver("click 1")
            reply = driver("owned 20000").split(" ")
            if reply[0] != "owned":
                print("no report for target %d" % number)
                return 1
            print("target %d:" % number)
            show("report", bytes.fromhex(reply[2]))
            session.screenshot(os.path.join(out, "%d-report-%d.png" % (number + 2, number)))
            driver("answer 1")
            if number == 1:
                driver("sleep 500")
                show("status", driver.text("get 1113"))
                show("start button", driver.text("get 1"))
                session.screenshot(os.path.join(out, "5-second-target.png"))
        print("program " + driver("exit 20000"))
        driver.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
