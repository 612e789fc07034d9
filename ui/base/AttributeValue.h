#pragma once
// Parsing of the string values that skin markup hands to controls.
//
// Skins are files a user or a deployment can edit, so every parser here takes
// any text: it never reads past the terminator, saturates numbers that do not
// fit an int, and gives a defined fallback (0, false, an ended list) for text
// that is not what it should be.

#include "ui/base/Platform.h"
#include "ui/base/UiString.h"

namespace SkinUI {
namespace AttributeValue {

// A decimal integer: leading blanks, an optional sign, digits. Text without
// digits is 0; values beyond the int range saturate. `end` (optional)
// receives the first character after the number, or `text` when there was
// no number.
int ParseInt(LPCTSTR text, LPCTSTR* end = nullptr);

// Up to `count` integers, each followed by exactly one separator character
// (normally a comma). Numbers missing at the end of the text are 0, so a
// "pos" with two numbers yields l, t, 0, 0. Returns how many numbers were
// actually present.
int ParseIntList(LPCTSTR text, int* values, int count);

RECT ParseRect(LPCTSTR text);
SIZE ParseSize(LPCTSTR text);

// A colour 0xAARRGGBB written as "#AARRGGBB": leading blanks and one "#" are
// skipped, then hexadecimal digits are read. No digits gives 0; more value
// than 32 bits saturates to 0xFFFFFFFF. "#FFF" is 0x00000FFF (transparent).
DWORD ParseColor(LPCTSTR text);

// Exactly "true" is true; anything else (including "TRUE" and "1") is false.
bool ParseBool(LPCTSTR text);

// Reads the pairs of an attribute list: name="value" pairs separated by
// exactly one blank. The name runs to "=", which must be followed by a
// double quote; the value runs to the next double quote. Anything else ends
// the list: a pair whose value is not closed is not returned.
class ListReader {
public:
    explicit ListReader(LPCTSTR list) : m_pos(list) {}
    // The next pair, or false at the end of the list or at malformed text.
    bool Next(CUiString& name, CUiString& value);

private:
    LPCTSTR m_pos;
    bool m_done = false;
};

// Reads the items of a description (an image's "file='a.png' dest='0,0,9,9'",
// the arguments of a marked-up image): key='value' items, blanks allowed
// around the "=" and between items. A key runs to "=" or a blank; the value
// runs to the next single quote. Anything else ends the description: an
// item whose value is not closed is not returned.
class DescriptionReader {
public:
    explicit DescriptionReader(LPCTSTR text) : m_pos(text) {}
    // The next item, or false at the end or at malformed text.
    bool Next(CUiString& key, CUiString& value);
    // Where reading stopped: after the last item returned (and the blank
    // that followed it).
    LPCTSTR Rest() const { return m_pos; }

private:
    LPCTSTR m_pos;
    bool m_done = false;
};

// A value clamped to [minimum, maximum] (minimum first: maximum wins a
// conflict), for numbers read from a skin into a narrower field.
int Clamp(int value, int minimum, int maximum);

// a + b, saturated to the int range: positions read from a skin are added
// to window coordinates.
int SaturatingAdd(int a, int b);

}  // namespace AttributeValue
}  // namespace SkinUI
