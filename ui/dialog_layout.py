# The two dialog templates, one row per control, as the windows are laid out.
# tools/make_dialog_templates.py packs them into DLGTEMPLATEEX resources;
# control ids shared with the C++ are listed in ui/resource.h.
#
# Classes: "Button", "Edit" and "Static" are stored as the predefined class
# numbers 0x0080, 0x0081, 0x0082; any other class by name. A text given as an
# int is a resource number (0xFFFF then the number).
SONG_FONT = (9, 0, 0, 0, "宋体")  # points, weight, italic, character set, face

MAIN_DIALOG = dict(
    id=100, style=0x90CA0A47, exstyle=0x00000210, rect=(6, 18, 186, 153), caption="", font=SONG_FONT,
    controls=[
        # id     class                text                         x    y    w    h   style       exstyle
        (1,      "Button",            "开始(&S)",                  131, 123, 44,  17, 0x50010001, 0x00000001),
        (2,      "Button",            "取消(&C)",                  80,  123, 44,  17, 0x50010000, 0x00000001),
        (2222,   "Edit",              "",                          29,  90,  129, 13, 0x50810080, 0x00000000),
        (3333,   "Button",            "...",                       158, 90,  17,  13, 0x50010000, 0x00020000),
        (4444,   "Button",            "如果可能的话创建文件备份",  29,  104, 129, 9,  0x50010003, 0x00000020),
        (1010,   "Static",            101,                         5,   11,  20,  20, 0x50001003, 0x00000000),
        (65535,  "Static",            "目标文件：",                29,  80,  49,  8,  0x50020000, 0x00000020),
        (1000,   "msctls_progress32", "Progress1",                 84,  143, 102, 10, 0x50000000, 0x00000000),
        (1112,   "Static",            "#",                         29,  51,  154, 26, 0x50020000, 0x00000020),
        (3,      "Button",            "关于(&A)...",               29,  123, 44,  17, 0x50010000, 0x00000001),
        (1113,   "Static",            "#",                         0,   143, 82,  10, 0x50021000, 0x00000000),
        (1111,   "Edit",              "",                          29,  21,  146, 28, 0x50200804, 0x00020004),
        (1110,   "Static",            "#",                         29,  11,  155, 8,  0x50020000, 0x00000020),
    ])

ABOUT_DIALOG = dict(
    id=101, style=0x90C008C2, exstyle=0x00000280, rect=(0, 0, 156, 103), caption="-={ 关于 }=-", font=SONG_FONT,
    controls=[
        (65535,  "Static",            "MAINICON",                  135, 6,   20,  20, 0x50001003, 0x00000000),
        (1,      "Button",            "确定",                      56,  82,  44,  17, 0x50010001, 0x00000001),
        (1111,   "Edit",              "",                          5,   6,   126, 39, 0x50200805, 0x00020004),
        (2000,   "Button",            "",                          5,   49,  147, 14, 0x50010000, 0x00020000),
        (2001,   "Button",            "",                          5,   65,  147, 14, 0x50010000, 0x00020000),
    ])

DIALOGS = [MAIN_DIALOG, ABOUT_DIALOG]
