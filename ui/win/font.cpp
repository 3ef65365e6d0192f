#include "ui/win/font.h"

#include "ui/twips.h"

namespace korvena::ui {

GdiObject<HFONT> MakeFont(const Font& font, int dpi) noexcept {
    LOGFONTW log{};
    log.lfHeight = -twips::PointsToPixels(font.points, dpi);
    log.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    log.lfUnderline = font.underline ? TRUE : FALSE;
    log.lfCharSet = font.chinese ? GB2312_CHARSET : DEFAULT_CHARSET;
    log.lfOutPrecision = OUT_DEFAULT_PRECIS;
    log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    log.lfQuality = DEFAULT_QUALITY;
    log.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    font.face.copy(log.lfFaceName, LF_FACESIZE - 1);
    return GdiObject<HFONT>(CreateFontIndirectW(&log));
}

}  // namespace korvena::ui
