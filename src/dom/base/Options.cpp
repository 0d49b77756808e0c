// The process-wide option values, kept as plain statics: they are set
// between documents and only read while documents are read or written.
#include "base/Options.h"

namespace {

DOMOptions::FormatOption s_formatOption;
int s_codePage = 0;
DOMOptions::MWVersion s_mwVersion = DOMOptions::MW_NONE;

} // namespace

DOMOptions::FormatOption* DOMOptions::getFormatOption()
{
    return &s_formatOption;
}

int DOMOptions::getCodePage()
{
    return s_codePage;
}

void DOMOptions::setCodePage(int codePage)
{
    s_codePage = codePage;
}

DOMOptions::MWVersion DOMOptions::getMWVersion()
{
    return s_mwVersion;
}

void DOMOptions::setMWVersion(MWVersion version)
{
    s_mwVersion = version;
}
