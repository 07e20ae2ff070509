// Where a template's controls go in pixels and what each is called on the accessibility bus, and
// how the texts of controls and file choosers read.
// Dialog units are the platform's: a quarter of the font's average character width across, an
// eighth of its height down. The units grow until every one-line text fits its control, so a
// larger font or a wider language widens the whole dialog evenly and nothing overlaps or clips.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog_api.h"
#include "platform/linux/desktop/dialog_template.h"

namespace pavix {

struct BaseUnits {
    std::int32_t x = 0;  // pixels per 4 horizontal dialog units
    std::int32_t y = 0;  // pixels per 8 vertical dialog units
};

// `font` is the average character's width and the line height; `naturalWidths` holds, for each
// control in template order, the width in pixels its widget needs to show its text on one line
// (0 where the control's width does not depend on its text).
BaseUnits ChooseBaseUnits(const DialogTemplate& dialog, Size font,
                          const std::vector<std::int32_t>& naturalWidths);
// A rectangle of dialog units in pixels, rounded to the nearest as the platform does.
Rect ToPixels(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
              BaseUnits units);
// Whether a label's text takes more than one line.
bool IsMultiLine(const ControlTemplate& control);
// The most characters a wrapped text may ask for so that its width, counted as GTK counts it
// (`charWidth` per character, in 1/`scale` pixels), stays within `widthPixels`: unbounded, GTK
// gives a long text a width of its own and the label widens the dialog past its template.
std::int32_t WrapChars(std::int32_t widthPixels, std::int32_t charWidth, std::int32_t scale);
// For each control, its name for a screen reader, without access-key marks: its own text; else the
// text of the label right before it in tab order; else the smallest group box around it; else the
// dialog's title.
std::vector<std::string> AccessibleNames(const DialogTemplate& dialog);

// A control's text with its access key as GTK marks it: "&x" becomes "_x", "&&" a plain "&", and
// an underscore of the text doubles. PlainText drops the marks instead, as a screen reader reads.
std::string MnemonicText(const std::string& text);
std::string PlainText(const std::string& text);

// The number a text holds, as the platform reads a dialog item's text: blanks around decimal
// digits, a minus sign first where signed numbers are asked for; nothing else, and nothing beyond
// 32 bits.
bool ParseDialogNumber(const std::string& text, bool isSigned, std::uint32_t* value);
// The path with ".extension" appended when its file name has no extension of its own.
std::string WithDefaultExtension(const std::string& path, const char* extension);

}  // namespace pavix
