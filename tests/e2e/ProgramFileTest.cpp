// The built Splash.exe as a file: a 32-bit Windows GUI program that imports
// no DLL beyond those Windows always takes from the system folder, whose
// three dialog templates hold the controls the program binds.
#include "../support/MenuControls.h"
#include "../support/TestDisc.h"
#include "res/resource.h"

#include "../support/TestPaths.h"
#include "../support/WideTree.h"
#include "Driver.h"
#include "base/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMagicPe32 = 0x010B;
constexpr std::uint16_t kSubsystemGui = 2;
constexpr std::uint16_t kButtonAtom = 0x0080;
constexpr std::uint16_t kStaticAtom = 0x0082;

// The program that ships: the 32-bit release build, whatever architecture
// these tests were built for. Reading it as a file needs no 32-bit Wine.
std::string ProgramPath()
{
    return SPLASH_SHIPPED_PROGRAM;
}

// The whole file, or nothing when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Little-endian reads that refuse to leave the buffer.
class CByteReader {
public:
    CByteReader(const std::uint8_t* data, size_t size) : data(data), size(size) {}

    template <typename T>
    T At(size_t offset) const
    {
        if (offset > size || sizeof(T) > size - offset)
            throw std::out_of_range("read past the end at " + std::to_string(offset));
        T value;
        std::memcpy(&value, data + offset, sizeof(T));
        return value;
    }

    // A zero-ended narrow string starting at offset.
    std::string TextAt(size_t offset) const
    {
        std::string text;
        for (char c; (c = At<char>(offset)) != '\0'; ++offset)
            text += c;
        return text;
    }

    size_t Size() const noexcept { return size; }

private:
    const std::uint8_t* data;
    size_t size;
};

// The parts of a PE file's headers the checks need.
struct CPeImage {
    std::uint16_t machine = 0;
    std::uint16_t magic = 0;
    std::uint16_t subsystem = 0;
    std::vector<std::string> imports;
};

// Reads machine, kind, subsystem and imported DLL names from the headers.
CPeImage ReadPeImage(const std::vector<std::uint8_t>& file)
{
    const CByteReader reader(file.data(), file.size());
    CPeImage image;
    if (reader.At<std::uint16_t>(0) != 0x5A4D)  // "MZ"
        throw std::runtime_error("no DOS header");
    const size_t pe = reader.At<std::uint32_t>(0x3C);
    if (reader.At<std::uint32_t>(pe) != 0x00004550)  // "PE\0\0"
        throw std::runtime_error("no PE signature");
    const size_t fileHeader = pe + 4;
    image.machine = reader.At<std::uint16_t>(fileHeader);
    const unsigned sectionCount = reader.At<std::uint16_t>(fileHeader + 2);
    const size_t optionalSize = reader.At<std::uint16_t>(fileHeader + 16);
    const size_t optional = fileHeader + 20;
    image.magic = reader.At<std::uint16_t>(optional);
    if (image.magic != kMagicPe32)
        return image;
    image.subsystem = reader.At<std::uint16_t>(optional + 68);
    // Data directory 1 is the import table (PE32: directories start at 96).
    const std::uint32_t importRva = reader.At<std::uint32_t>(optional + 96 + 8);

    const size_t sections = optional + optionalSize;
    const auto fileOffset = [&](std::uint32_t rva) -> size_t {
        for (unsigned i = 0; i < sectionCount; ++i) {
            const size_t section = sections + 40 * i;
            const std::uint32_t virtualSize = reader.At<std::uint32_t>(section + 8);
            const std::uint32_t virtualAddress = reader.At<std::uint32_t>(section + 12);
            const std::uint32_t rawSize = reader.At<std::uint32_t>(section + 16);
            const std::uint32_t rawOffset = reader.At<std::uint32_t>(section + 20);
            if (rva >= virtualAddress && rva < virtualAddress + std::max(virtualSize, rawSize))
                return rawOffset + (rva - virtualAddress);
        }
        throw std::runtime_error("RVA outside every section");
    };
    if (importRva == 0)
        return image;
    // Import descriptors of 20 bytes, ended by an all-zero one; the name is at 12.
    for (size_t descriptor = fileOffset(importRva);; descriptor += 20) {
        const std::uint32_t nameRva = reader.At<std::uint32_t>(descriptor + 12);
        if (nameRva == 0 && reader.At<std::uint32_t>(descriptor) == 0)
            break;
        image.imports.push_back(reader.TextAt(fileOffset(nameRva)));
    }
    return image;
}

// The libraries that Windows always takes from the system folder (its known
// DLLs); comctl32 and version are not among them.
const std::set<std::string>& SystemFolderLibraries()
{
    static const std::set<std::string> libraries
        = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shlwapi.dll", "shell32.dll", "msvcrt.dll"};
    return libraries;
}

TEST(ProgramFile, IsA32BitGuiProgramThatImportsOnlySystemLibraries)
{
    const std::vector<std::uint8_t> file = ReadWholeFile(ProgramPath());
    ASSERT_FALSE(file.empty()) << ProgramPath() << " is missing: build the release preset first";
    const CPeImage image = ReadPeImage(file);

    EXPECT_EQ(kMachineI386, image.machine);
    EXPECT_EQ(kMagicPe32, image.magic);
    EXPECT_EQ(kSubsystemGui, image.subsystem);
    EXPECT_FALSE(image.imports.empty());
    for (const std::string& library : image.imports)
        EXPECT_EQ(1u, SystemFolderLibraries().count(Lower(library))) << library << " may come from elsewhere";
}

// The disc check runs from any console or script: it asks for no rights, reads
// its texts in UTF-8, imports nothing that a folder could plant and leaves
// the console's code page as the user set it (imported names stand in the file).
TEST(ProgramFile, TheDiscCheckAsksForNoRightsAndLeavesTheConsolesCodePage)
{
    const std::vector<std::uint8_t> file = ReadWholeFile(TestProgramFolder() + "\\SplashCheck.exe");
    ASSERT_FALSE(file.empty());
    const std::string bytes(file.begin(), file.end());
    EXPECT_NE(std::string::npos, bytes.find("<requestedExecutionLevel level=\"asInvoker\""));
    EXPECT_EQ(std::string::npos, bytes.find("requireAdministrator"));
    EXPECT_NE(std::string::npos, bytes.find(">UTF-8</activeCodePage>"));
    EXPECT_EQ(std::string::npos, bytes.find("SetConsoleOutputCP"));
    EXPECT_NE(std::string::npos, bytes.find("WriteConsoleW"));
    for (const std::string& library : ReadPeImage(file).imports)
        EXPECT_EQ(1u, SystemFolderLibraries().count(Lower(library))) << library;
}

// One control of a template as it reads back from the program file.
struct CTemplateItem {
    int id;
    std::uint16_t classAtom;  // 0 when the class is given by name
    std::string className;
    std::string text;  // UTF-8
    short x, y, width, height;
    DWORD style;
    DWORD extendedStyle;

    // The class may be stored as its predefined atom or by name.
    bool Is(std::uint16_t atom, const char* name) const { return classAtom == atom || Lower(className) == name; }
};

struct CDialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD extendedStyle = 0;
    short x = 0, y = 0, width = 0, height = 0;
    bool hasMenu = false;
    bool hasClass = false;
    std::string title;
    int pointSize = 0;
    int weight = 0;
    int italic = 0;
    int charset = 0;
    std::string font;
    std::vector<CTemplateItem> items;
};

// Reads the templates' variable parts: strings, ordinals, alignment.
class CTemplateReader {
public:
    CTemplateReader(const std::uint8_t* data, size_t size) : bytes(data, size) {}

    template <typename T>
    T Read()
    {
        const T value = bytes.At<T>(offset);
        offset += sizeof(T);
        return value;
    }

    std::wstring ReadString()
    {
        std::wstring text;
        for (wchar_t c; (c = static_cast<wchar_t>(Read<std::uint16_t>())) != L'\0';)
            text += c;
        return text;
    }

    // A string or an ordinal (0xFFFF then a number); returns the ordinal, or
    // 0 with the string in `text`.
    std::uint16_t ReadStringOrOrdinal(std::wstring& text)
    {
        if (bytes.At<std::uint16_t>(offset) == 0xFFFF) {
            offset += 2;
            return Read<std::uint16_t>();
        }
        text = ReadString();
        return 0;
    }

    void AlignToDword() { offset = (offset + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t count) { offset += count; }

private:
    CByteReader bytes;
    size_t offset = 0;
};

// Parses a DLGTEMPLATE or DLGTEMPLATEEX with all its items.
CDialogTemplate ParseTemplate(const std::uint8_t* data, size_t size)
{
    CTemplateReader reader(data, size);
    CDialogTemplate dialog;
    std::wstring text;
    dialog.extended = CByteReader(data, size).At<std::uint16_t>(2) == 0xFFFF;
    unsigned count = 0;
    if (dialog.extended) {
        reader.Skip(4 + 4);  // version, signature, help id
        dialog.extendedStyle = reader.Read<DWORD>();
        dialog.style = reader.Read<DWORD>();
    } else {
        dialog.style = reader.Read<DWORD>();
        dialog.extendedStyle = reader.Read<DWORD>();
    }
    count = reader.Read<std::uint16_t>();
    dialog.x = reader.Read<short>();
    dialog.y = reader.Read<short>();
    dialog.width = reader.Read<short>();
    dialog.height = reader.Read<short>();
    text.clear();
    dialog.hasMenu = reader.ReadStringOrOrdinal(text) != 0 || !text.empty();
    text.clear();
    dialog.hasClass = reader.ReadStringOrOrdinal(text) != 0 || !text.empty();
    dialog.title = widetree::Encode(reader.ReadString(), CP_UTF8);
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Read<std::uint16_t>();
        if (dialog.extended) {
            dialog.weight = reader.Read<std::uint16_t>();
            dialog.italic = reader.Read<std::uint8_t>();
            dialog.charset = reader.Read<std::uint8_t>();
        }
        dialog.font = widetree::Encode(reader.ReadString(), CP_UTF8);
    }
    for (unsigned i = 0; i < count; ++i) {
        reader.AlignToDword();
        CTemplateItem item{};
        if (dialog.extended) {
            reader.Skip(4);  // help id
            item.extendedStyle = reader.Read<DWORD>();
            item.style = reader.Read<DWORD>();
        } else {
            item.style = reader.Read<DWORD>();
            item.extendedStyle = reader.Read<DWORD>();
        }
        item.x = reader.Read<short>();
        item.y = reader.Read<short>();
        item.width = reader.Read<short>();
        item.height = reader.Read<short>();
        item.id = dialog.extended ? static_cast<int>(reader.Read<DWORD>()) : reader.Read<std::uint16_t>();
        std::wstring name;
        item.classAtom = reader.ReadStringOrOrdinal(name);
        item.className = widetree::Encode(name, CP_UTF8);
        std::wstring caption;
        reader.ReadStringOrOrdinal(caption);
        item.text = widetree::Encode(caption, CP_UTF8);
        reader.Skip(reader.Read<std::uint16_t>());  // creation data
        dialog.items.push_back(item);
    }
    return dialog;
}

// The template as the program file holds it, loaded as data (not run).
CDialogTemplate LoadTemplate(int id)
{
    const COwnedLibrary module(::LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module)
        throw std::runtime_error("cannot load " + ProgramPath());
    const HRSRC resource = ::FindResourceA(module.Get(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (resource == nullptr)
        throw std::runtime_error("no dialog template " + std::to_string(id));
    const HGLOBAL loaded = ::LoadResource(module.Get(), resource);
    const auto* data = static_cast<const std::uint8_t*>(::LockResource(loaded));
    return ParseTemplate(data, ::SizeofResource(module.Get(), resource));
}

// Windows starts no program that asks for administrator rights from the Run
// key at logon; the menu raises its rights itself once it runs.
TEST(ProgramFile, ManifestAsksForNoRightsAndTheUtf8CodePage)
{
    const std::string manifest = CProgramTexts(ProgramPath()).Manifest();
    EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\"")) << manifest;
    EXPECT_EQ(std::string::npos, manifest.find("requireAdministrator"));
    EXPECT_NE(std::string::npos, manifest.find(">UTF-8</activeCodePage>"));
}

// What the program relies on in each of its templates: a borderless popup
// in the font that the linked fonts take their height from, with exactly the
// controls that its code binds, every button owner-drawn for the hover
// buttons, each control inside the dialog and none over another.
struct CTemplateRow {
    const char* name;
    int id;
    DWORD style;
    DWORD extendedStyle;
    std::vector<int> controls;
    std::vector<int> hidden;  // controls that start hidden
};

TEST(ProgramFile, TemplatesHoldTheControlsTheMenuBindsEachInItsOwnPlace)
{
    std::vector<int> menuControls(std::begin(kMenuControls), std::end(kMenuControls));
    menuControls.push_back(IDC_DESCRIPTION);
    const CTemplateRow rows[] = {
        {"menu",
         IDD_MENU,
         WS_POPUP | WS_VISIBLE | WS_BORDER | DS_SETFONT,
         WS_EX_APPWINDOW,
         menuControls,
         {IDC_ACROBAT_READER, IDC_MANUAL, IDC_README}},
        {"language",
         IDD_LANGUAGE,
         WS_POPUP | DS_SETFONT,
         0,
         {IDC_ENGLISH, IDC_FRENCH, IDC_GERMAN, IDC_ITALIAN, IDC_SPANISH, IDC_JAPANESE},
         {}},
        {"model", IDD_MODEL, WS_POPUP | DS_MODALFRAME | DS_SETFONT, 0, {IDC_MODEL_EXIT, IDC_VEXA10, IDC_VEXA100}, {}},
    };
    for (const CTemplateRow& row : rows) {
        SCOPED_TRACE(row.name);
        const CDialogTemplate dialog = LoadTemplate(row.id);
        EXPECT_EQ(row.style, dialog.style);
        EXPECT_EQ(row.extendedStyle, dialog.extendedStyle);
        EXPECT_FALSE(dialog.hasMenu);
        EXPECT_EQ("", dialog.title);
        EXPECT_EQ("MS Sans Serif", dialog.font);
        EXPECT_EQ(8, dialog.pointSize);

        std::multiset<int> ids;
        for (const CTemplateItem& item : dialog.items) {
            SCOPED_TRACE("control " + std::to_string(item.id));
            ids.insert(item.id);
            const bool hidden = std::count(row.hidden.begin(), row.hidden.end(), item.id) != 0;
            EXPECT_EQ(!hidden, (item.style & WS_VISIBLE) != 0);
            if (item.id == IDC_DESCRIPTION) {
                EXPECT_TRUE(item.Is(kStaticAtom, "static"));
            } else {
                EXPECT_TRUE(item.Is(kButtonAtom, "button"));
                EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), item.style & BS_TYPEMASK);
            }
            EXPECT_TRUE(item.x >= 0 && item.y >= 0 && item.x + item.width <= dialog.width
                        && item.y + item.height <= dialog.height)
                << item.x << "," << item.y << " " << item.width << "x" << item.height;
            for (const CTemplateItem& other : dialog.items) {
                const bool apart = other.x >= item.x + item.width || item.x >= other.x + other.width
                    || other.y >= item.y + item.height || item.y >= other.y + other.height;
                EXPECT_TRUE(&other == &item || apart) << "over control " << other.id;
            }
        }
        EXPECT_EQ(std::multiset<int>(row.controls.begin(), row.controls.end()), ids);
    }
}

}  // namespace
