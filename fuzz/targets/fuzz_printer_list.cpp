// The printer list: printers as the spooler might report them (any names, device URIs, drivers,
// user lists), turned into the rows, the order, the preselection and the confirmation.
#include "FuzzSupport.h"
#include "res/Strings.h"
#include "spooler/ConnectionText.h"
#include "spooler/PrinterList.h"
#include "spooler/UserAccess.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

using namespace FuzzSupport;

namespace {

std::vector<std::string> names(FuzzedDataProvider &input)
{
    std::vector<std::string> result(input.ConsumeIntegralInRange<std::size_t>(0, 4));
    for (std::string &name : result)
        name = input.ConsumeRandomLengthString(16);
    return result;
}

SpoolerPrinter printer(FuzzedDataProvider &input, const UserAccess::User &user)
{
    SpoolerPrinter result;
    result.name = input.ConsumeRandomLengthString(32);
    const std::string deviceUri = input.ConsumeRandomLengthString(64);
    const std::string printerUri = input.ConsumeRandomLengthString(64);
    const bool remote = input.ConsumeBool();
    result.connection = ConnectionText::fromDeviceUri(deviceUri, remote, printerUri);
    if (ConnectionText::hostOf(deviceUri).empty() && !remote && deviceUri.rfind("file", 0) != 0)
        require(result.connection == deviceUri || result.connection == Str::kFileConnection,
                "a URI without a host shown as something else");
    result.driver = input.ConsumeBool() ? std::string(Str::kDriverName) : input.ConsumeRandomLengthString(24);
    const std::vector<std::string> allowed = names(input);
    const std::vector<std::string> denied = names(input);
    result.usable = input.ConsumeBool() && UserAccess::mayPrint(user, allowed, denied);
    return result;
}

void checkOrder(const PrinterList &list)
{
    const auto &rows = list.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        require(!PrinterList::sortsBefore(rows[i].name, rows[i].name), "a name sorts before itself");
        if (i + 1 < rows.size())
            require(!PrinterList::sortsBefore(rows[i + 1].name, rows[i].name), "the rows are out of order");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    UserAccess::User user{input.ConsumeRandomLengthString(12), names(input)};

    std::vector<SpoolerPrinter> printers(input.ConsumeIntegralInRange<std::size_t>(0, 8));
    for (SpoolerPrinter &one : printers)
        one = printer(input, user);

    const PrinterList list(printers);
    const auto listed = std::count_if(printers.begin(), printers.end(), [](const SpoolerPrinter &p) {
        return p.usable && p.driver == Str::kDriverName;
    });
    require(list.count() == listed, "the list holds other printers than the usable supported ones");
    checkOrder(list);

    const std::string current = input.ConsumeRandomLengthString(32);
    const auto preselected = list.preselectedRow(current);
    require(preselected.has_value() == (list.count() > 0), "preselection on an empty list, or none on a full one");
    if (preselected)
        require(*preselected >= 0 && *preselected < list.count(), "preselected row outside the list");

    std::string name = "unchanged";
    std::string connection = "unchanged";
    const int chosen = input.ConsumeIntegralInRange<int>(-2, 10);
    const auto result = list.confirm(chosen, name, connection);
    if (chosen < 0 || chosen >= list.count())
        require(result == PrinterList::Confirmation::NothingSelected && name == "unchanged",
                "a row outside the list was confirmed");
    else
        require(name == list.rows()[static_cast<std::size_t>(chosen)].name, "confirmation took another row's name");
    return 0;
}
