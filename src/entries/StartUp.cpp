#include "StartUp.h"

#include "Languages.h"
#include "MenuState.h"
#include "system/Registry.h"
#include "system/RegistryNames.h"

namespace {
constexpr int kModelCodecBase = 4;
}  // namespace

std::string FolderOfPath(const std::string& path)
{
    const std::string::size_type lastBackslash = path.rfind('\\');
    return lastBackslash == std::string::npos ? std::string() : path.substr(0, lastBackslash);
}

std::string FindDiscRoot(const std::string& programPath)
{
    std::string runValue;
    std::string discRoot;
    if (ReadRegString(kRunKey, kRunValue, runValue))
        discRoot = FolderOfPath(runValue);
    if (!discRoot.empty()) {
        DeleteRegValue(kRunKey, kRunValue);
        return discRoot;
    }
    return FolderOfPath(programPath);
}

int ReadModel()
{
    DWORD codec = 0;
    if (!ReadRegDword(kCodecKey, kCodecValue, codec))
        return kModelNone;
    // Unsigned arithmetic: a stored 0x80000000 must not overflow.
    return static_cast<int>(codec - kModelCodecBase);
}

int ReadLanguage(DWORD& languageCode)
{
    ReadRegDword(kLanguageKey, kLanguageValue, languageCode);
    return LanguageIndexOfCode(languageCode);
}

int SettleLanguage(DWORD& languageCode, FirstLanguage first)
{
    const int index = ReadLanguage(languageCode);
    if (languageCode != 0)
        return index;
    const CLanguage& language = LanguageForSystem(::GetSystemDefaultLangID());
    languageCode = language.code;
    if (first == FirstLanguage::Store)
        WriteRegDword(kLanguageKey, kLanguageValue, language.code);
    return language.index;
}
