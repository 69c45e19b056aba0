#pragma once

#include <string>

// The printer every printer command addresses. Both fields are empty until the first selection
// and change only when the printer-selection dialog ends with OK.
struct SelectedPrinter
{
    std::string m_strConnection;   // port text ("FILE:", a device URI) or the print server's host
    std::string m_strPrinterName;  // the spooler's printer name, exactly as listed

    bool isEmpty() const { return m_strPrinterName.empty() || m_strConnection.empty(); }
};
