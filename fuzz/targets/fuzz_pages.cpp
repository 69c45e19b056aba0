// The four pages themselves fed whole random images, in the main window's order: loading and
// storing back changes only bytes some page owns, and a second round trip changes nothing. Runs
// the widgets on Qt's offscreen platform.
#include "FuzzSupport.h"
#include "OwnedBytes.h"
#include "pages/CPage_IP.h"
#include "pages/CPage_Issue.h"
#include "pages/CPage_Param1.h"
#include "pages/CPage_Set.h"

#include <QApplication>

#include <array>
#include <cstdlib>

using namespace FuzzSupport;

namespace {

// The four pages, as the main window holds them.
class Pages
{
public:
    SettingsImage roundTrip(const SettingsImage &image)
    {
        const std::array<SettingsPage *, 4> inOrder{&m_param, &m_fine, &m_ip, &m_issue};
        for (SettingsPage *page : inOrder)
            page->LoadFromImage(image);
        SettingsImage stored = image;
        for (SettingsPage *page : inOrder)
            page->StoreToImage(stored);
        return stored;
    }

private:
    CPage_Param1 m_param;
    CPage_Set m_fine;
    CPage_IP m_ip;
    CPage_Issue m_issue;
};

QApplication &application()
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static std::array<char *, 2> argv{const_cast<char *>("fuzz_pages"), nullptr};
    static QApplication made(argc, argv.data());
    return made;
}

// Built after the application object, on first use.
Pages &pages()
{
    application();
    static Pages made;
    return made;
}

}  // namespace

// Qt and fontconfig set themselves up on first use and keep that for the run: done here, before
// libFuzzer starts counting allocations per input.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    pages().roundTrip(SettingsImage::factory());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const SettingsImage image = imageFrom(textOf(data, size));
    const SettingsImage once = pages().roundTrip(image);
    requireOnlyOwnedChanged(image, once, OwnedBytes::isOwned, "a page wrote a byte no page owns");
    require(pages().roundTrip(once) == once, "a second round trip through the pages changed the image");
    return 0;
}
