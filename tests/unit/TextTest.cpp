// The string table in its six languages, read through the text functions.
// The table's shape in the sources (which identifiers each block holds, the
// placeholders and line breaks each translation keeps, the rows alike in
// every language) is tools/check_strings.py's, which tools/test.sh runs.
#include "res/Text.h"
#include "../support/WideTree.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

namespace {

using widetree::Widen;

constexpr int kOffsets[] = {0, 1000, 2000, 3000, 4000, 5000};

// Every identifier that the menu reads at identifier + language offset.
constexpr unsigned kLocalisedIds[] = {
    IDS_SUITE_LABEL,
    IDS_AFTER_EFFECTS_PLUGIN_LABEL,
    IDS_MAX_PLUGIN_LABEL,
    IDS_MANUAL_LABEL,
    IDS_HOTFIX_DESCRIPTION,
    IDS_REGISTER_LABEL,
    IDS_ACROBAT_READER_LABEL,
    IDS_README_LABEL,
    IDS_WALLPAPERS_LABEL,
    IDS_VFW_CODECS_LABEL,
    IDS_LANGUAGE_LABEL,
    IDS_EXIT_TOOLTIP,
    IDS_SPICEMASTER_DEMO_LABEL,
    IDS_MANUAL_DESCRIPTION,
    IDS_AFTER_EFFECTS_PLUGIN_DESCRIPTION,
    IDS_MAX_PLUGIN_DESCRIPTION,
    IDS_SUITE_DESCRIPTION,
    IDS_REGISTER_DESCRIPTION,
    IDS_SPICEMASTER_DEMO_DESCRIPTION,
    IDS_README_DESCRIPTION,
    IDS_WALLPAPERS_DESCRIPTION,
    IDS_VFW_CODECS_DESCRIPTION,
    IDS_EXIT_DESCRIPTION,
    IDS_ACROBAT_READER_DESCRIPTION,
    IDS_LANGUAGE_DESCRIPTION,
    IDS_CANNOT_FIND_FILE,
    IDS_LIGHTWAVE_PLUGIN_LABEL,
    IDS_LIGHTWAVE_PLUGIN_DESCRIPTION,
    IDS_SUITE_INSTALLED,
    IDS_REGISTER_NEEDS_SUITE,
    IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100,
    IDS_MAX_PLUGIN_NEEDS_SUITE_VEXA100,
    IDS_LIGHTWAVE_PLUGIN_NEEDS_SUITE_VEXA100,
    IDS_SUITE_NOT_FOUND,
    IDS_AFTER_EFFECTS_PLUGIN_NOT_FOUND,
    IDS_MAX_PLUGIN_NOT_FOUND,
    IDS_MANUAL_NOT_FOUND,
    IDS_REGISTER_NOT_FOUND,
    IDS_ACROBAT_READER_NOT_FOUND,
    IDS_README_NOT_FOUND,
    IDS_WALLPAPERS_NOT_FOUND,
    IDS_VFW_CODECS_NOT_FOUND,
    IDS_SPICEMASTER_DEMO_NOT_FOUND,
    IDS_LIGHTWAVE_PLUGIN_NOT_FOUND,
    IDS_VFW_CODECS_SUITE_INSTALLED,
    IDS_MANUAL_NEEDS_READER,
    IDS_SUITE_CODECS_INSTALLED,
    IDS_INSTALLER_CANNOT_START,
    IDS_EFFECT_ADDONS_LABEL,
    IDS_EFFECT_ADDONS_DESCRIPTION,
    IDS_EFFECT_ADDONS_NOT_FOUND,
    IDS_EFFECT_ADDONS_NEEDS_SUITE_VEXA100,
    IDS_MAX_PLUGIN_INSTALLED,
    IDS_AFTER_EFFECTS_PLUGIN_INSTALLED,
    IDS_LIGHTWAVE_PLUGIN_INSTALLED,
    IDS_WALLPAPERS_INSTALLED,
    IDS_VFW_CODECS_INSTALLED,
    IDS_ACROBAT_READER_INSTALLED,
    IDS_PREMIERE_UPDATED,
    IDS_SUITE_QUESTION,
    IDS_PHOTOSHOP_PLUGIN_LABEL,
    IDS_PHOTOSHOP_PLUGIN_DESCRIPTION,
    IDS_PHOTOSHOP_PLUGIN_NEEDS_SUITE_VEXA100,
    IDS_PHOTOSHOP_PLUGIN_NOT_FOUND,
    IDS_PHOTOSHOP_PLUGIN_INSTALLED,
    IDS_HOTFIX_UNDEFINED_TEXT,
    IDS_HOTFIX_LABEL,
    IDS_HOTFIX_NOT_FOUND,
    IDS_HOTFIX_NEEDS_SUITE,
    IDS_PREMIERE_UPDATER_NOT_FOUND,
    IDS_PREMIERE_UPDATER_DESCRIPTION,
    IDS_PREMIERE_UPDATER_LABEL,
    IDS_PREMIERE_UPDATER_NEEDS_PREMIERE,
};

// The rows that every language must show exactly as written here.
struct LanguageRow {
    int offset;
    const wchar_t* suiteLabel;
    const wchar_t* exitTooltip;
    const wchar_t* cannotFindFile;
    unsigned readmeId;
    const wchar_t* readmeFile;
    unsigned nameId;
    const wchar_t* name;
};

const LanguageRow kLanguageRows[] = {
    {0, L"Install Tavrin Nimbo", L"Exit", L"Cannot find the file : '%s'", IDS_README_FILE, L"Readme.htm",
     IDS_ENGLISH_NAME, L"English"},
    {1000, L"Installer Tavrin Nimbo", L"Quitter", L"Impossible de trouver le fichier : '%s'", IDS_README_FR_FILE,
     L"readme.fr.htm", IDS_FRENCH_NAME, L"Français"},
    {2000, L"Tavrin Nimbo installieren", L"Beenden", L"Folgende Datei wurde nicht gefunden: '%s'", IDS_README_DE_FILE,
     L"readme.de.htm", IDS_GERMAN_NAME, L"Deutsch"},
    {3000, L"Installa Tavrin Nimbo", L"Esci", L"Impossibile trovare il file: '%s'", IDS_README_IT_FILE,
     L"readme.it.htm", IDS_ITALIAN_NAME, L"Italiano"},
    {4000, L"Instalar Tavrin Nimbo", L"Salir", L"No se encuentra el archivo:'%s'", IDS_README_ES_FILE, L"readme.es.htm",
     IDS_SPANISH_NAME, L"Español"},
    {5000, L"Tavrin Nimbo のインストール", L"終了", L"次のファイルが見つかりません: '%s'", IDS_README_JP_FILE,
     L"readme.jp.htm", IDS_JAPANESE_NAME, L"日本語"},
};

const wchar_t kSuiteQuestion[]
    = L"Do you want to perform a typical Tavrin Nimbo installation? This installs the software as follows:\n"
      L" \n- Nimbo is installed to a default location.\n- All Tavrin Effect add-ons are installed. \n- Your "
      L"computer is restarted automatically at the end of the install (you should close all other programs "
      L"before continuing).";

// Reads a text straight out of its block of sixteen in the test program's
// string table, as a witness that does not go through LoadStringW.
std::optional<std::wstring> RawText(unsigned id)
{
    const HMODULE module = ::GetModuleHandleA(nullptr);
    const HRSRC block = ::FindResourceA(module, MAKEINTRESOURCEA(id / 16 + 1), RT_STRING);
    if (block == nullptr)
        return std::nullopt;
    const auto* entry = static_cast<const WCHAR*>(::LockResource(::LoadResource(module, block)));
    for (unsigned skipped = 0; skipped < id % 16; ++skipped)
        entry += 1 + *entry;
    if (*entry == 0)
        return std::nullopt;
    return std::wstring(entry + 1, *entry);
}

// A name loaded narrow against the expected UTF-16 name: compared exactly
// where the process code page can hold it, else as that code page renders it.
void ExpectName(const std::wstring& expected, const std::string& loaded, unsigned id)
{
    EXPECT_EQ(Widen(widetree::Encode(expected, CP_ACP)), Widen(loaded)) << "text " << id;
}

// What the user reads comes whole and in UTF-16, whatever the code page;
// only names, which become paths, go through it.
TEST(TextTable, EveryTextIsLoadedWholeInUtf16AndOnlyNamesInTheProcessCodePage)
{
    for (const unsigned id : kLocalisedIds) {
        for (const int offset : kOffsets) {
            const std::optional<std::wstring> raw = RawText(id + offset);
            ASSERT_TRUE(raw.has_value()) << "text " << id + offset;
            EXPECT_EQ(*raw, LoadText(id, offset)) << "text " << id + offset;
            EXPECT_EQ(*raw, LoadFixedCaption(id + offset)) << "text " << id + offset;
            EXPECT_EQ(widetree::Encode(*raw, CP_ACP), LoadFixedText(id + offset)) << "text " << id + offset;
        }
    }
}

TEST(TextTable, TheRowsFixedForEveryLanguageReadAsWritten)
{
    for (const LanguageRow& row : kLanguageRows) {
        const int offset = row.offset;
        EXPECT_EQ(row.suiteLabel, LoadText(IDS_SUITE_LABEL, offset));
        EXPECT_EQ(row.exitTooltip, LoadText(IDS_EXIT_TOOLTIP, offset));
        EXPECT_EQ(row.cannotFindFile, LoadText(IDS_CANNOT_FIND_FILE, offset));
        ExpectName(row.readmeFile, LoadFixedText(row.readmeId), row.readmeId);
        EXPECT_EQ(row.name, LoadFixedCaption(row.nameId));

        // The resource itself must hold the exact UTF-16 text whatever the
        // process code page: a table compiled in the wrong code page fails here.
        EXPECT_EQ(std::wstring(row.suiteLabel), RawText(IDS_SUITE_LABEL + offset).value_or(L""));
        EXPECT_EQ(std::wstring(row.name), RawText(row.nameId).value_or(L""));
        EXPECT_EQ(L"This text is yet to be defined", LoadText(IDS_HOTFIX_UNDEFINED_TEXT, offset));
    }
    EXPECT_EQ("%s\\ExtraPlug-ins\\Effects", LoadFixedText(IDS_EFFECT_ADDONS_FOLDER));
}

TEST(TextTable, EnglishTextsKeepTheirBlanksAccentsQuotesAndBackslashes)
{
    EXPECT_EQ(L"Install Pix\u00e9lan SpiceMaster  2 demo", LoadText(IDS_SPICEMASTER_DEMO_LABEL, 0));
    EXPECT_EQ(L"Before installing Tavrin Nimbo, you must remove the Tavrin VFW software codecs from your system "
              L"(using \"Add/Remove Programs\" in Windows Control Panel).",
              LoadText(IDS_SUITE_CODECS_INSTALLED, 0));
    EXPECT_EQ(L"You must install Tavrin Nimbo before installing this plug-in.\n\nAvailable for Vexa100 only.",
              LoadText(IDS_PHOTOSHOP_PLUGIN_NEEDS_SUITE_VEXA100, 0));
    EXPECT_EQ(L"The installation program cannot start. Please quit any other programs you have running, then "
              L"try the installation again.\n",
              LoadText(IDS_INSTALLER_CANNOT_START, 0));
    EXPECT_EQ("%s\\ExtraPlug-ins\\3DSMax", LoadFixedText(IDS_MAX_PLUGIN_FOLDER));
    EXPECT_EQ("%s\\Tavrin HotFix2", LoadFixedText(IDS_HOTFIX_FOLDER));
    EXPECT_EQ(L"Splash.exe", LoadFixedCaption(IDS_ERROR_CAPTION));
}

TEST(TextTable, TheSuiteQuestionLongerThan255CharactersIsReadWhole)
{
    const std::wstring question = LoadText(IDS_SUITE_QUESTION, 0);
    EXPECT_GT(question.size(), 255u);
    EXPECT_EQ(kSuiteQuestion, question);
}

TEST(TextTable, MissingIdentifiersGiveEmptyTexts)
{
    for (const unsigned id : {0u, 999u, 1001u, 1015u, 1098u, 1117u, 2001u, 7000u, 65535u}) {
        EXPECT_EQ("", LoadFixedText(id)) << "text " << id;
        EXPECT_EQ(L"", LoadFixedCaption(id)) << "text " << id;
    }

    // Numbers beyond 16 bits must not wrap round to an existing text.
    EXPECT_EQ("", LoadFixedText(IDS_SUITE_LABEL + 0x10000));
    EXPECT_EQ(L"", LoadFixedCaption(IDS_SUITE_LABEL + 0x10000));
    EXPECT_EQ(L"", LoadText(IDS_SUITE_LABEL, 0x10000));
    EXPECT_EQ(L"", LoadText(IDS_SUITE_LABEL, 6000));
    EXPECT_EQ(L"", LoadText(IDS_SUITE_LABEL, -2000));
    EXPECT_EQ(L"", FormatText(1001, 0, "D:"));
    EXPECT_EQ("", FormatFixedText(1001, "D:"));
}

TEST(TextFormat, TheArgumentReplacesThePlaceholderAndIsNeverReadAsAFormat)
{
    EXPECT_EQ("D:\\Nimbo", FormatFixedText(IDS_SUITE_FOLDER, "D:"));
    EXPECT_EQ("%s%n%x\\Nimbo", FormatFixedText(IDS_SUITE_FOLDER, "%s%n%x"));
    EXPECT_EQ(L"Cannot find the file : 'E:\\100%% sure\\%s%n%x.exe /l0x09'",
              FormatText(IDS_CANNOT_FIND_FILE, 0, "E:\\100%% sure\\%s%n%x.exe /l0x09"));
    EXPECT_EQ(L"Folgende Datei wurde nicht gefunden: '%s%n%x'", FormatText(IDS_CANNOT_FIND_FILE, 2000, "%s%n%x"));
    EXPECT_EQ("setup.exe", FormatFixedText(IDS_SETUP_FILE, "D:"));

    const std::string longRoot(5000, 'r');
    EXPECT_EQ(longRoot + "\\Docs", FormatFixedText(IDS_MANUAL_FOLDER, longRoot));
}

// The message keeps the language's text in UTF-16 and takes the path from
// the process code page, whatever either holds.
TEST(TextFormat, AMessageJoinsTheLanguagesTextAndAPathOfTheProcessCodePage)
{
    const std::wstring path = L"D:\\Disc \u00e9\\setup.exe /l0x11";
    EXPECT_EQ(L"\u6b21\u306e\u30d5\u30a1\u30a4\u30eb\u304c\u898b\u3064\u304b\u308a\u307e\u305b\u3093: '" + path + L"'",
              FormatText(IDS_CANNOT_FIND_FILE, 5000, widetree::Encode(path, CP_ACP)));
    EXPECT_EQ(path, WidenSystemText(widetree::Encode(path, CP_ACP)));
    EXPECT_EQ(L"", WidenSystemText(""));
}

TEST(TextFormat, PercentSignsOfTheFormatFollowPrintfForStringsOnly)
{
    EXPECT_EQ("100% of x", ExpandFormat("100%% of %s", "x"));
    EXPECT_EQ("%s", ExpandFormat("%%s", "x"));
    EXPECT_EQ("%x", ExpandFormat("%%%s", "x"));
    EXPECT_EQ("ab-ab", ExpandFormat("%s-%s", "ab"));
    EXPECT_EQ("50% %d %", ExpandFormat("50% %d %", "x"));
    EXPECT_EQ("", ExpandFormat("", "x"));
    EXPECT_EQ("[]", ExpandFormat("[%s]", ""));
    EXPECT_EQ(L"100% of \u7d42", ExpandFormat(std::wstring(L"100%% of %s"), std::wstring(L"\u7d42")));
    EXPECT_EQ(L"%s%x", ExpandFormat(std::wstring(L"%%s%%%s"), std::wstring(L"x")));
}

}  // namespace
