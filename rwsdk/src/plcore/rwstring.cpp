// The string module: fills the instance's string-function slots, and the
// engine's own case-folding, comparison and search helpers.
#include "os/win/osintf.h"
#include "rwengine.h"

RwBool RwStringFunctionsOpen(void)
{
    RwOsGetStringFunctions(&RwEngineInst->stringFuncs);
    return TRUE;
}

void RwStringFunctionsClose(void) {}

static int FoldLower(int c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

int RwStringCompareNoCase(const RwChar *a, const RwChar *b)
{
    if (a == nullptr || b == nullptr) {
        return 0;
    }
    for (;; ++a, ++b) {
        int ca = FoldLower(static_cast<unsigned char>(*a));
        int cb = FoldLower(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0) {
            return ca - cb;
        }
    }
}

RwChar *RwStringToUpper(RwChar *s)
{
    for (RwChar *p = s; p != nullptr && *p != '\0'; ++p) {
        if (*p >= 'a' && *p <= 'z') {
            *p = static_cast<RwChar>(*p - 'a' + 'A');
        }
    }
    return s;
}

RwChar *RwStringToLower(RwChar *s)
{
    for (RwChar *p = s; p != nullptr && *p != '\0'; ++p) {
        if (*p >= 'A' && *p <= 'Z') {
            *p = static_cast<RwChar>(*p - 'A' + 'a');
        }
    }
    return s;
}

RwChar *RwStringFindChar(const RwChar *s, int c)
{
    const RwChar target = static_cast<RwChar>(c);
    for (;; ++s) {
        if (*s == target) {
            return const_cast<RwChar *>(s);
        }
        if (*s == '\0') {
            return nullptr;
        }
    }
}

RwChar *RwStringFindLastChar(const RwChar *s, int c)
{
    const RwChar target = static_cast<RwChar>(c);
    const RwChar *found = nullptr;
    for (;; ++s) {
        if (*s == target) {
            found = s;
        }
        if (*s == '\0') {
            return const_cast<RwChar *>(found);
        }
    }
}
