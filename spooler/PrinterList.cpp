#include "spooler/PrinterList.h"

#include "res/Strings.h"

#include <algorithm>
#include <cctype>

namespace {

bool listed(const SpoolerPrinter &printer)
{
    return printer.usable && printer.driver == Str::kDriverName;
}

int caseFolded(char c)
{
    return std::tolower(static_cast<unsigned char>(c));
}

}  // namespace

PrinterList::PrinterList(const std::vector<SpoolerPrinter> &printers)
{
    for (const SpoolerPrinter &printer : printers) {
        if (listed(printer))
            m_rows.push_back({printer.name, printer.connection});
    }
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [](const Row &a, const Row &b) { return sortsBefore(a.name, b.name); });
}

bool PrinterList::sortsBefore(const std::string &a, const std::string &b)
{
    const bool folded = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                     [](char x, char y) { return caseFolded(x) < caseFolded(y); });
    if (folded)
        return true;
    const bool foldedAfter = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                          [](char x, char y) { return caseFolded(x) < caseFolded(y); });
    return !foldedAfter && std::string_view(a) < std::string_view(b);
}

std::optional<int> PrinterList::preselectedRow(const std::string &current) const
{
    if (m_rows.empty())
        return std::nullopt;
    if (!current.empty()) {
        const auto found = std::find_if(m_rows.begin(), m_rows.end(), [&](const Row &row) { return row.name == current; });
        if (found != m_rows.end())
            return static_cast<int>(found - m_rows.begin());
    }
    return 0;
}

PrinterList::Confirmation PrinterList::confirm(std::optional<int> selected, std::string &name,
                                               std::string &connection) const
{
    if (!selected || *selected < 0 || *selected >= count())
        return Confirmation::NothingSelected;
    const Row &row = m_rows[static_cast<std::size_t>(*selected)];
    name = row.name;
    connection = row.connection;
    if (connection != Str::kFileConnection)
        return Confirmation::Accepted;
    return count() == 1 ? Confirmation::FileOnlyPrinter : Confirmation::FileChooseOther;
}
