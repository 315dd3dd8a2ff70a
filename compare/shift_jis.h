// The one fact about Shift-JIS (code page 932) that the byte-wise handling of
// names needs: which bytes begin a double-byte character.
#ifndef TARNLIGHT_SHIFT_JIS_H
#define TARNLIGHT_SHIFT_JIS_H

inline bool IsShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

#endif
