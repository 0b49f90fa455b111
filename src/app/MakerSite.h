// The maker's web site: the editor's picture opens its home page, install mode its greeting page.
#pragma once

namespace app {

#define SRF_MAKER_SITE L"http://www.srf-ime.com/"
constexpr wchar_t kMakerHomePage[] = SRF_MAKER_SITE;
constexpr wchar_t kMakerInstallPage[] = SRF_MAKER_SITE L"pop3.htm";
#undef SRF_MAKER_SITE

}  // namespace app
