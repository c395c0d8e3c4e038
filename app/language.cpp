// The language index and its folders (see language.h).
#include "app/language.h"

namespace {

struct Language {
    const char *packFolder;
    const char *code;
};

constexpr Language kLanguages[kLanguageCount] = {
    {"\\CHAPACK", "CHA"}, {"\\USAPACK", "USA"}, {"\\FREPACK", "FRE"}, {"\\GERPACK", "GER"},
    {"\\ITAPACK", "ITA"}, {"\\SPAPACK", "SPA"}, {"\\JAPPACK", "JAP"}, {"\\SWEPACK", "SWE"},
    {"\\NORPACK", "NOR"}, {"\\DANPACK", "DAN"}, {"\\FINPACK", "FIN"}, {"\\PORPACK", "POR"},
    {"\\DUTPACK", "DUT"}, {"\\KORPACK", "KOR"}, {"\\GREPACK", "GRE"},
};

constexpr int kDefaultLanguage = 1;
int language = kDefaultLanguage;

const Language &Of(int index)
{
    return kLanguages[index >= 0 && index < kLanguageCount ? index : kDefaultLanguage];
}

}  // namespace

int GetLanguageIndex() { return language; }

void SetLanguageIndex(int index) { language = index >= 0 && index < kLanguageCount ? index : kDefaultLanguage; }

const char *GetLanguagePackFolder(int index) { return Of(index).packFolder; }

const char *GetLanguageCode(int index) { return Of(index).code; }
