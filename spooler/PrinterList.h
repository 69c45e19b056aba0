#pragma once

#include "spooler/Spooler.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rows of the printer-selection list and the rules of choosing one: which spooler printers
// are listed, their order, which row starts selected, and what confirming a row does.
class PrinterList
{
public:
    struct Row
    {
        std::string name;        // column "プリンタ名"
        std::string connection;  // column "接続先"
    };

    enum class Confirmation {
        NothingSelected,  // "プリンタが選択されていません。…"; the dialog stays open
        FileOnlyPrinter,  // the only row connects to a file: the program ends with code 1
        FileChooseOther,  // a file connection among others: the dialog stays open
        Accepted,         // the dialog ends with OK
    };

    PrinterList() = default;

    // The usable printers whose driver is exactly the supported one, sorted ascending by name
    // (letter case ignored, as the list control sorts).
    explicit PrinterList(const std::vector<SpoolerPrinter> &printers);

    const std::vector<Row> &rows() const { return m_rows; }
    int count() const { return static_cast<int>(m_rows.size()); }

    // The row that starts selected: the lowest row named exactly `current`, else row 0; none when
    // the list is empty.
    std::optional<int> preselectedRow(const std::string &current) const;

    // OK on `selected`: the chosen row's texts go to `name` and `connection` (also when the
    // choice is then refused), and the result says what follows.
    Confirmation confirm(std::optional<int> selected, std::string &name, std::string &connection) const;

    // Name order of the list: ASCII letters compared without case, then byte order.
    static bool sortsBefore(const std::string &a, const std::string &b);

private:
    std::vector<Row> m_rows;
};
