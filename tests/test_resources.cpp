// The resources as the built program carries them, read back from its file
// and taken apart field by field.
#include <windows.h>
#include <winver.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

static const WORD kJapanese = 0x0411;

static std::string Utf8(const std::u16string& text)
{
    if (text.empty()) {
        return "";
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, (LPCWSTR)text.data(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, (LPCWSTR)text.data(), (int)text.size(), &out[0], size, NULL, NULL);
    return out;
}

static std::u16string Lower(std::u16string text)
{
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') {
            c = (char16_t)(c - u'A' + u'a');
        }
    }
    return text;
}

// Little-endian fields of a resource, with a position that never runs past
// its end: a read past the end gives zeros and sets overrun.
struct Reader {
    const BYTE* data;
    size_t size;
    size_t pos;
    bool overrun;

    Reader(const std::string& bytes) : data((const BYTE*)bytes.data()), size(bytes.size()), pos(0), overrun(false) {}
    DWORD Take(size_t count)
    {
        DWORD value = 0;
        if (pos + count > size) {
            overrun = true;
            pos = size;
            return 0;
        }
        for (size_t i = 0; i < count; i++) {
            value |= (DWORD)data[pos + i] << (8 * i);
        }
        pos += count;
        return value;
    }
    BYTE Byte() { return (BYTE)Take(1); }
    WORD Word() { return (WORD)Take(2); }
    DWORD Dword() { return Take(4); }
    short Short() { return (short)Word(); }
    std::u16string Text()
    {
        std::u16string text;
        for (WORD c = Word(); c != 0 && !overrun; c = Word()) {
            text += (char16_t)c;
        }
        return text;
    }
    void Align(size_t base) { pos = std::min(size, base + ((pos - base + 3) & ~(size_t)3)); }
};

// A name or ordinal field of a dialog template: 0x0000 none, 0xFFFF and an
// ordinal, or a text.
struct NameOrOrdinal {
    bool isOrdinal;
    WORD ordinal;
    std::u16string text;
};

static NameOrOrdinal ReadNameOrOrdinal(Reader* r)
{
    NameOrOrdinal out = {false, 0, u""};
    WORD first = r->Word();

    if (first == 0xFFFF) {
        out.isOrdinal = true;
        out.ordinal = r->Word();
    } else if (first != 0) {
        out.text = (char16_t)first;
        out.text += r->Text();
    }
    return out;
}

static std::string Describe(const NameOrOrdinal& n)
{
    char part[16];

    if (n.isOrdinal) {
        wsprintfA(part, "#0x%04X", n.ordinal);
        return part;
    }
    return "\"" + Utf8(n.text) + "\"";
}

struct ResourceId {
    std::string type;
    std::string name;
    WORD language;
};

static std::string IdText(LPCSTR id)
{
    char part[16];

    if (IS_INTRESOURCE(id)) {
        wsprintfA(part, "#%u", (unsigned)(ULONG_PTR)id);
        return part;
    }
    return id;
}

struct Enumeration {
    std::vector<ResourceId> found;
    std::string type, name;
};

static BOOL CALLBACK OnLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    Enumeration* e = (Enumeration*)param;
    e->found.push_back({e->type, e->name, language});
    return TRUE;
}

static BOOL CALLBACK OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param)
{
    Enumeration* e = (Enumeration*)param;
    e->name = IdText(name);
    EnumResourceLanguagesA(module, type, name, OnLanguage, param);
    return TRUE;
}

static BOOL CALLBACK OnType(HMODULE module, LPSTR type, LONG_PTR param)
{
    Enumeration* e = (Enumeration*)param;
    e->type = IdText(type);
    EnumResourceNamesA(module, type, OnName, param);
    return TRUE;
}

struct IconEntry {
    int width, height, colors, planes, bpp;
    DWORD bytes;
    WORD id;
    bool operator<(const IconEntry& o) const { return width != o.width ? width < o.width : bpp < o.bpp; }
};

class Resources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char path[MAX_PATH];
        DWORD length = GetModuleFileNameA(NULL, path, sizeof(path));
        std::string exe(path, length);

        exe = exe.substr(0, exe.find_last_of("\\/") + 1) + KILN_PROXY_EXE_FROM_TESTS;
        module_ = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        exePath_ = exe;
    }
    static void TearDownTestSuite()
    {
        if (module_ != NULL) {
            FreeLibrary(module_);
            module_ = NULL;
        }
    }
    void SetUp() override { ASSERT_TRUE(module_ != NULL) << exePath_ << " error " << GetLastError(); }

    // The resource's bytes in Japanese; empty when there is none.
    static std::string Bytes(LPCSTR type, LPCSTR name)
    {
        HRSRC found = FindResourceExA(module_, type, name, kJapanese);
        if (found == NULL) {
            return "";
        }
        HGLOBAL loaded = LoadResource(module_, found);
        const char* data = (const char*)LockResource(loaded);
        if (data == NULL) {
            return "";
        }
        return std::string(data, SizeofResource(module_, found));
    }

    // The entries of an icon group, in its order.
    static std::vector<IconEntry> Group(WORD groupId)
    {
        std::vector<IconEntry> entries;
        std::string bytes = Bytes(RT_GROUP_ICON, MAKEINTRESOURCEA(groupId));
        Reader r(bytes);

        EXPECT_FALSE(bytes.empty()) << "group " << groupId;
        EXPECT_EQ(r.Word(), 0u) << "reserved";
        EXPECT_EQ(r.Word(), 1u) << "type";
        WORD count = r.Word();
        for (WORD i = 0; i < count && !r.overrun; i++) {
            IconEntry e;
            e.width = r.Byte();
            e.height = r.Byte();
            e.colors = r.Byte();
            r.Byte();
            e.planes = r.Word();
            e.bpp = r.Word();
            e.bytes = r.Dword();
            e.id = r.Word();
            entries.push_back(e);
        }
        EXPECT_FALSE(r.overrun) << "group " << groupId;
        EXPECT_EQ(r.pos, bytes.size()) << "group " << groupId;
        return entries;
    }

    static HMODULE module_;
    static std::string exePath_;
};

HMODULE Resources::module_;
std::string Resources::exePath_;

struct ControlCase {
    WORD classOrdinal;  // 0 when the class is given by name
    const char16_t* className;
    DWORD id;
    const char16_t* text;
    DWORD style;
    short x, y, cx, cy;
};

static const WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;
static const DWORD kNoId = 0xFFFFFFFF;

static const ControlCase kControls[] = {
    {kButton, NULL, kNoId, u"利用する設定を選択してください。", 0x50000007, 15, 10, 233, 116},
    {kButton, NULL, 1000, u"：プロキシを利用しない", 0x50000009, 28, 23, 163, 16},
    {kButton, NULL, 1001, u"：自動設定", 0x50000009, 28, 37, 207, 16},
    {kButton, NULL, 1002, u"：手動設定（IPアドレスで指定）", 0x50000009, 28, 51, 163, 16},
    {0, u"SysIPAddress32", 1003, u"", 0x50010000, 40, 67, 84, 11},
    {kStatic, NULL, kNoId, u"ポート番号：", 0x50020000, 142, 69, 49, 13},
    {kEdit, NULL, 1004, u"", 0x50810080, 193, 67, 44, 12},
    {kEdit, NULL, 1006, u"", 0x50810080, 39, 100, 85, 12},
    {kStatic, NULL, kNoId, u"ポート番号：", 0x50020000, 141, 102, 49, 13},
    {kEdit, NULL, 1007, u"", 0x50810080, 193, 100, 44, 12},
    {kButton, NULL, 1, u"OK", 0x50030000, 153, 131, 46, 15},
    {kButton, NULL, 8, u"CANCEL", 0x50030001, 202, 131, 46, 15},
    {kButton, NULL, 1005, u"：手動設定（ドメイン名で指定）", 0x50000009, 28, 84, 142, 14},
};

struct DialogHeader {
    WORD version, signature;
    DWORD helpId, exStyle, style;
    WORD count;
    short x, y, cx, cy;
    NameOrOrdinal menu, windowClass;
    std::u16string title;
    WORD pointSize, weight;
    BYTE italic, charset;
    std::u16string typeface;
};

// Leaves the reader on the first control (before its alignment).
static DialogHeader ReadDialogHeader(Reader* r)
{
    DialogHeader h;

    h.version = r->Word();
    h.signature = r->Word();
    h.helpId = r->Dword();
    h.exStyle = r->Dword();
    h.style = r->Dword();
    h.count = r->Word();
    h.x = r->Short();
    h.y = r->Short();
    h.cx = r->Short();
    h.cy = r->Short();
    h.menu = ReadNameOrOrdinal(r);
    h.windowClass = ReadNameOrOrdinal(r);
    h.title = r->Text();
    h.pointSize = r->Word();
    h.weight = r->Word();
    h.italic = r->Byte();
    h.charset = r->Byte();
    h.typeface = r->Text();
    return h;
}

static bool IsNone(const NameOrOrdinal& n)
{
    return !n.isOrdinal && n.text.empty();
}

TEST_F(Resources, DialogHeader)
{
    std::string bytes = Bytes(RT_DIALOG, MAKEINTRESOURCEA(103));
    Reader r(bytes);

    ASSERT_FALSE(bytes.empty());
    DialogHeader h = ReadDialogHeader(&r);
    ASSERT_FALSE(r.overrun);
    EXPECT_EQ(h.version, 1u);
    EXPECT_EQ(h.signature, 0xFFFFu);
    EXPECT_EQ(h.helpId, 0u);
    EXPECT_EQ(h.exStyle, 0u);
    EXPECT_EQ(h.style, 0x00C000C0u) << std::hex << h.style;
    EXPECT_EQ(h.count, 13u);
    EXPECT_EQ(h.x, 22);
    EXPECT_EQ(h.y, 17);
    EXPECT_EQ(h.cx, 263);
    EXPECT_EQ(h.cy, 154);
    EXPECT_TRUE(IsNone(h.menu)) << "menu " << Describe(h.menu);
    EXPECT_TRUE(IsNone(h.windowClass)) << "class " << Describe(h.windowClass);
    EXPECT_TRUE(h.title == u"プロキシ設定") << Utf8(h.title);
    EXPECT_EQ(h.pointSize, 9u);
    EXPECT_EQ(h.weight, 400u);
    EXPECT_EQ(h.italic, 0u);
    EXPECT_EQ(h.charset, 128u);
    EXPECT_TRUE(h.typeface == u"\uFF2D\uFF33 ゴシック") << Utf8(h.typeface);
}

TEST_F(Resources, DialogControls)
{
    std::string bytes = Bytes(RT_DIALOG, MAKEINTRESOURCEA(103));
    Reader r(bytes);

    ASSERT_FALSE(bytes.empty());
    ReadDialogHeader(&r);
    ASSERT_FALSE(r.overrun);
    for (size_t i = 0; i < sizeof(kControls) / sizeof(kControls[0]); i++) {
        const ControlCase& c = kControls[i];
        r.Align(0);
        SCOPED_TRACE(testing::Message() << "control " << i + 1 << " at offset " << r.pos);
        EXPECT_EQ(r.Dword(), 0u) << "helpID";
        EXPECT_EQ(r.Dword(), 0u) << "exStyle";
        DWORD style = r.Dword();
        EXPECT_EQ(style, c.style) << std::hex << style;
        EXPECT_EQ(r.Short(), c.x) << "x";
        EXPECT_EQ(r.Short(), c.y) << "y";
        EXPECT_EQ(r.Short(), c.cx) << "cx";
        EXPECT_EQ(r.Short(), c.cy) << "cy";
        DWORD id = r.Dword();
        EXPECT_EQ(id, c.id) << std::hex << id;
        NameOrOrdinal cls = ReadNameOrOrdinal(&r);
        if (c.classOrdinal != 0) {
            EXPECT_TRUE(cls.isOrdinal && cls.ordinal == c.classOrdinal) << "class " << Describe(cls);
        } else {
            EXPECT_TRUE(!cls.isOrdinal && Lower(cls.text) == Lower(c.className)) << "class " << Describe(cls);
        }
        NameOrOrdinal text = ReadNameOrOrdinal(&r);
        EXPECT_TRUE(!text.isOrdinal && text.text == c.text) << "text " << Describe(text);
        EXPECT_EQ(r.Word(), 0u) << "extraCount";
        ASSERT_FALSE(r.overrun);
    }
    r.Align(0);
    EXPECT_EQ(r.pos, bytes.size()) << "bytes after the last control";
}

TEST_F(Resources, EveryResourceIsJapaneseOnly)
{
    Enumeration e;
    std::set<std::string> named, found;

    ASSERT_TRUE(EnumResourceTypesA(module_, OnType, (LONG_PTR)&e));
    for (const ResourceId& id : e.found) {
        EXPECT_EQ(id.language, kJapanese) << id.type << " " << id.name << " language 0x" << std::hex << id.language;
        EXPECT_TRUE(found.insert(id.type + " " + id.name).second) << id.type << " " << id.name << " twice";
    }

    // Dialog 103, icon groups 107 and 108, version 1, manifest 1, and the
    // images that the groups name.
    named = {"#5 #103", "#14 #107", "#14 #108", "#16 #1", "#24 #1"};
    for (WORD groupId : {107, 108}) {
        for (const IconEntry& entry : Group(groupId)) {
            named.insert("#3 #" + std::to_string(entry.id));
        }
    }
    for (const std::string& name : found) {
        EXPECT_TRUE(named.count(name)) << "unexpected resource " << name;
    }
    for (const std::string& name : named) {
        EXPECT_TRUE(found.count(name)) << "missing resource " << name;
    }
}

TEST_F(Resources, ManifestAsksForAdministrator)
{
    static const char kManifest[] =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
        "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\r\n"
        "    <security>\r\n"
        "      <requestedPrivileges>\r\n"
        "        <requestedExecutionLevel level=\"requireAdministrator\"/>\r\n"
        "      </requestedPrivileges>\r\n"
        "    </security>\r\n"
        "  </trustInfo>\r\n"
        "</assembly>\r\n";

    std::string bytes = Bytes(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    EXPECT_EQ(bytes, std::string(kManifest)) << bytes.size() << " bytes";
}

// One block of a version resource, taken apart without assuming its layout.
struct VersionNode {
    std::u16string key;
    WORD type;
    WORD valueLength;
    std::string value;
    std::vector<VersionNode> children;
};

static bool ReadVersionNode(Reader* r, VersionNode* node, std::string* error)
{
    size_t start = r->pos;
    WORD length = r->Word();
    size_t end = start + length;

    node->valueLength = r->Word();
    node->type = r->Word();
    node->key = r->Text();
    if (r->overrun || length < 6 || end > r->size) {
        *error = "block at " + std::to_string(start) + " overruns";
        return false;
    }
    r->Align(0);
    size_t valueBytes = node->type == 1 ? node->valueLength * 2u : node->valueLength;
    if (r->pos + valueBytes > end) {
        *error = "value of " + Utf8(node->key) + " overruns its block";
        return false;
    }
    node->value.assign((const char*)r->data + r->pos, valueBytes);
    r->pos += valueBytes;
    r->Align(0);
    while (r->pos < end) {
        VersionNode child;
        if (!ReadVersionNode(r, &child, error)) {
            return false;
        }
        if (r->pos > end) {
            *error = "child " + Utf8(child.key) + " runs past " + Utf8(node->key);
            return false;
        }
        node->children.push_back(child);
        r->Align(0);
    }
    r->pos = end;
    return true;
}

static std::u16string TextValue(const VersionNode& node)
{
    std::u16string text((const char16_t*)node.value.data(), node.value.size() / 2);
    return text.substr(0, text.find(u'\0'));
}

class Version : public Resources {
protected:
    void SetUp() override
    {
        Resources::SetUp();
        std::string bytes = Bytes(RT_VERSION, MAKEINTRESOURCEA(1));
        Reader r(bytes);
        std::string error;
        ASSERT_FALSE(bytes.empty());
        ASSERT_TRUE(ReadVersionNode(&r, &root_, &error)) << error;
        ASSERT_TRUE(root_.key == u"VS_VERSION_INFO") << Utf8(root_.key);
    }
    const VersionNode* Child(const VersionNode& parent, const char16_t* key)
    {
        const VersionNode* found = NULL;
        for (const VersionNode& child : parent.children) {
            if (child.key == key) {
                EXPECT_TRUE(found == NULL) << Utf8(key) << " twice";
                found = &child;
            }
        }
        EXPECT_TRUE(found != NULL) << "no " << Utf8(key) << " in " << Utf8(parent.key);
        return found;
    }
    VersionNode root_;
};

TEST_F(Version, FixedPart)
{
    ASSERT_EQ(root_.valueLength, sizeof(VS_FIXEDFILEINFO));
    ASSERT_EQ(root_.value.size(), sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    memcpy(&fixed, root_.value.data(), sizeof(fixed));
    EXPECT_EQ(root_.type, 0u);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwStrucVersion, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0u);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x17u);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(fixed.dwFileOS, 0x4u);
    EXPECT_EQ(fixed.dwFileType, 0x1u);
    EXPECT_EQ(fixed.dwFileSubtype, 0u);
    EXPECT_EQ(fixed.dwFileDateMS, 0u);
    EXPECT_EQ(fixed.dwFileDateLS, 0u);
    EXPECT_EQ(root_.children.size(), 2u);
}

TEST_F(Version, StringTable)
{
    static const struct {
        const char16_t* key;
        const char16_t* value;
    } kStrings[] = {
        {u"CompanyName", u"kiln_proxy project"},
        {u"FileDescription", u"kiln_proxy アプリケーション"},
        {u"FileVersion", u"1, 0, 0, 0"},
        {u"InternalName", u"kiln_proxy"},
        {u"LegalCopyright", u"Copyright (C) 2026 kiln_proxy project"},
        {u"OriginalFilename", u"kiln_proxy.exe"},
        {u"ProductName", u" kiln_proxy アプリケーション"},
        {u"ProductVersion", u"1, 0, 0, 0"},
    };
    const size_t count = sizeof(kStrings) / sizeof(kStrings[0]);

    const VersionNode* info = Child(root_, u"StringFileInfo");
    ASSERT_TRUE(info != NULL);
    EXPECT_EQ(info->type, 1u);
    EXPECT_EQ(info->valueLength, 0u);
    ASSERT_EQ(info->children.size(), 1u);
    const VersionNode& table = info->children[0];
    EXPECT_TRUE(table.key == u"041104b0") << Utf8(table.key);
    EXPECT_EQ(table.valueLength, 0u);
    ASSERT_EQ(table.children.size(), count);
    for (size_t i = 0; i < count; i++) {
        const VersionNode& s = table.children[i];
        std::u16string value = TextValue(s);
        EXPECT_TRUE(s.key == kStrings[i].key) << i << ": " << Utf8(s.key);
        EXPECT_TRUE(value == kStrings[i].value) << Utf8(s.key) << ": " << Utf8(value);
        EXPECT_EQ(s.type, 1u) << Utf8(s.key);
        EXPECT_EQ(s.valueLength, value.size() + 1) << Utf8(s.key) << ": length in characters, terminator included";
        EXPECT_TRUE(s.children.empty()) << Utf8(s.key);
    }
}

TEST_F(Version, OriginalFilenameIsTheProgramsName)
{
    const VersionNode* info = Child(root_, u"StringFileInfo");
    ASSERT_TRUE(info != NULL && info->children.size() == 1);
    const VersionNode* name = Child(info->children[0], u"OriginalFilename");
    ASSERT_TRUE(name != NULL);
    std::string fileName = exePath_.substr(exePath_.find_last_of("\\/") + 1);
    EXPECT_EQ(Utf8(TextValue(*name)), fileName);
}

TEST_F(Version, TranslationIsJapaneseUnicode)
{
    const VersionNode* info = Child(root_, u"VarFileInfo");
    ASSERT_TRUE(info != NULL);
    EXPECT_EQ(info->type, 1u);
    ASSERT_EQ(info->children.size(), 1u);
    const VersionNode& var = info->children[0];
    EXPECT_TRUE(var.key == u"Translation") << Utf8(var.key);
    EXPECT_EQ(var.type, 0u);
    ASSERT_EQ(var.value.size(), 4u);
    Reader r(var.value);
    EXPECT_EQ(r.Word(), 0x0411u);
    EXPECT_EQ(r.Word(), 0x04B0u);
}

static const struct {
    int size, bpp;
} kImages[] = {{16, 4}, {16, 8}, {16, 32}, {32, 4}, {32, 8}, {32, 32}, {48, 8}, {48, 32}};

typedef Resources Icons;

TEST_F(Icons, BothGroupsHoldTheEightImages)
{
    for (WORD groupId : {107, 108}) {
        std::vector<IconEntry> entries = Group(groupId);
        std::sort(entries.begin(), entries.end());
        ASSERT_EQ(entries.size(), 8u) << "group " << groupId;
        for (size_t i = 0; i < 8; i++) {
            const IconEntry& e = entries[i];
            SCOPED_TRACE(testing::Message() << "group " << groupId << " image " << e.id);
            EXPECT_EQ(e.width, kImages[i].size);
            EXPECT_EQ(e.height, kImages[i].size);
            EXPECT_EQ(e.bpp, kImages[i].bpp);
            EXPECT_EQ(e.planes, 1);
            EXPECT_EQ(e.colors, kImages[i].bpp < 8 ? 1 << kImages[i].bpp : 0);
        }
    }
}

TEST_F(Icons, GroupsNameTheSameImageBytes)
{
    std::vector<IconEntry> first = Group(107), second = Group(108);

    ASSERT_EQ(first.size(), second.size());
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
    for (size_t i = 0; i < first.size(); i++) {
        EXPECT_EQ(Bytes(RT_ICON, MAKEINTRESOURCEA(first[i].id)), Bytes(RT_ICON, MAKEINTRESOURCEA(second[i].id)))
            << "images " << first[i].id << " and " << second[i].id;
    }
}

TEST_F(Icons, EveryImageMatchesItsEntry)
{
    for (WORD groupId : {107, 108}) {
        for (const IconEntry& e : Group(groupId)) {
            SCOPED_TRACE(testing::Message() << "group " << groupId << " image " << e.id);
            std::string bytes = Bytes(RT_ICON, MAKEINTRESOURCEA(e.id));
            ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
            BITMAPINFOHEADER header;
            memcpy(&header, bytes.data(), sizeof(header));
            EXPECT_EQ(bytes.size(), e.bytes) << "size in the group";
            EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
            EXPECT_EQ(header.biWidth, e.width);
            EXPECT_EQ(header.biHeight, 2 * e.height) << "image and mask";
            EXPECT_EQ(header.biPlanes, 1);
            EXPECT_EQ(header.biBitCount, e.bpp);
            EXPECT_EQ(header.biCompression, (DWORD)BI_RGB);

            DWORD colors = header.biClrUsed != 0 ? header.biClrUsed : e.bpp <= 8 ? 1u << e.bpp : 0u;
            DWORD image = (DWORD)((e.width * e.bpp + 31) / 32 * 4 * e.height);
            DWORD mask = (DWORD)((e.width + 31) / 32 * 4 * e.height);
            EXPECT_EQ(bytes.size(), header.biSize + 4 * colors + image + mask) << "colors " << colors;
            EXPECT_TRUE(header.biSizeImage == 0 || header.biSizeImage == image + mask) << header.biSizeImage;
        }
    }
}
