#include "LinkedFont.h"

#include <cwchar>

namespace {
constexpr wchar_t kLinkedFace[] = L"Tahoma";
}  // namespace

COwnedFont CreateLinkedFont(HFONT templateFont)
{
    LOGFONTW shape{};
    if (templateFont == nullptr || ::GetObjectW(templateFont, sizeof(shape), &shape) == 0)
        return COwnedFont();
    // The link is the system's; a character set of its own would make the
    // font mapper pick another face.
    shape.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(shape.lfFaceName, kLinkedFace, LF_FACESIZE - 1);
    shape.lfFaceName[LF_FACESIZE - 1] = L'\0';
    return COwnedFont(::CreateFontIndirectW(&shape));
}
