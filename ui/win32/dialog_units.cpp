#include "ui/win32/dialog_units.h"

#include <cmath>
#include <string>

#include "ui/board_view.h"
#include "ui/dialog_ids.h"
#include "ui/win32/text.h"

namespace fifteen::ui::win32 {

namespace {

// A screen device context with font selected, released at the end of the scope.
class FontDc {
  public:
    explicit FontDc(HFONT font) : dc_(GetDC(nullptr)), old_(SelectObject(dc_, font)) {}
    ~FontDc() {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    FontDc(const FontDc&) = delete;
    FontDc& operator=(const FontDc&) = delete;
    HDC dc() const { return dc_; }
    int width(std::string_view text) const {
        const std::wstring wide = widen(text);
        SIZE size{};
        GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    }
    TEXTMETRICW metrics() const {
        TEXTMETRICW tm{};
        GetTextMetricsW(dc_, &tm);
        return tm;
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

int scaled(int pixels96, UINT dpi) {
    return MulDiv(pixels96, static_cast<int>(dpi), 96);
}

}  // namespace

DialogBaseUnits baseUnitsOf(HFONT font) {
    const FontDc dc(font);
    return DialogBaseUnits::fromAlphabet(
        dc.width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
        static_cast<int>(dc.metrics().tmHeight));
}

std::vector<RoomNeeded> roomNeeded(HFONT dialogFont, HFONT outputFont, UINT dpi) {
    const FontDc dialog(dialogFont);
    const FontDc output(outputFont);
    TextMetrics m;
    m.fontHeight = static_cast<int>(dialog.metrics().tmHeight);
    m.width = [&dialog](std::string_view text) { return dialog.width(text); };
    m.outputWidth = [&output](std::string_view text) { return output.width(text); };
    m.outputLineSpacing = static_cast<int>(output.metrics().tmHeight);
    // The box's border and inset on both sides (the longest report needs no
    // scroll bar).
    m.outputPadding = 2 * scaled(4, dpi);
    // A themed button's frame and text margins.
    m.buttonPadding = 2 * scaled(5, dpi);
    return ui::roomNeeded(m);
}

DialogBaseUnits fittingUnits(HFONT dialogFont, HFONT outputFont, UINT dpi) {
    return ui::fittingUnits(baseUnitsOf(dialogFont), roomNeeded(dialogFont, outputFont, dpi));
}

HFONT createOutputFont(HFONT font) {
    LOGFONTW mono{};
    {
        // Lines as tall as the dialog font's, whatever the face's proportions.
        const FontDc dc(font);
        mono.lfHeight = static_cast<LONG>(dc.metrics().tmHeight);
    }
    mono.lfWeight = FW_NORMAL;
    mono.lfCharSet = DEFAULT_CHARSET;
    mono.lfQuality = CLEARTYPE_QUALITY;
    mono.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    // Windows' console font; where it is missing the font mapper takes the
    // nearest fixed-pitch face.
    wcscpy(mono.lfFaceName, L"Consolas");
    HFONT created = CreateFontIndirectW(&mono);
    // The face the mapper chose, by its own name: a control that makes its own
    // font from the name (the RichEdit does) gets the same face.
    wchar_t face[LF_FACESIZE] = {};
    {
        const FontDc dc(created);
        GetTextFaceW(dc.dc(), LF_FACESIZE, face);
    }
    DeleteObject(created);
    wcscpy(mono.lfFaceName, face);
    return CreateFontIndirectW(&mono);
}

HFONT scaledFont(HFONT font, UINT fromDpi, UINT toDpi) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof lf, &lf);
    lf.lfHeight = MulDiv(lf.lfHeight, static_cast<int>(toDpi), static_cast<int>(fromDpi));
    lf.lfWidth = MulDiv(lf.lfWidth, static_cast<int>(toDpi), static_cast<int>(fromDpi));
    return CreateFontIndirectW(&lf);
}

Rect shownBoardAt(const DialogBaseUnits& units, const DialogLayout& layout, UINT dpi) {
    // The template's own layout, where the dialog logic placed its board.
    const DialogLayout smallest = layOutDialog(units, smallestClient(units));
    const int side = scaled(boardPixels, dpi);
    const int centreX = smallest.output().left / 2;
    const int centreY =
        (smallest.control(idProblemGroup).bottom + smallest.control(idSeparator).top) / 2;
    const int left = centreX - side / 2, top = centreY - side / 2;
    return shownBoard(Rect{left, top, left + side, top + side}, layout);
}

}  // namespace fifteen::ui::win32
