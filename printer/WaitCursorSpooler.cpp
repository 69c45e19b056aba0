#include "WaitCursorSpooler.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

// The wait cursor for one scope, when there is a GUI to show it.
class WaitCursor
{
public:
    WaitCursor()
        : m_shown(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (m_shown)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~WaitCursor()
    {
        if (m_shown)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    bool m_shown;
};

}  // namespace

WaitCursorSpooler::WaitCursorSpooler(std::unique_ptr<Spooler> spooler)
    : m_spooler(std::move(spooler))
{
}

PrinterListing WaitCursorSpooler::printers()
{
    const WaitCursor busy;
    return m_spooler->printers();
}

JobSubmission WaitCursorSpooler::submitRawJob(const std::string &printer, const std::string &jobName,
                                              std::string_view bytes)
{
    const WaitCursor busy;
    return m_spooler->submitRawJob(printer, jobName, bytes);
}

std::vector<JobProgress> WaitCursorSpooler::jobProgress(const std::vector<int> &jobIds)
{
    const WaitCursor busy;
    return m_spooler->jobProgress(jobIds);
}

JobSubmission WaitCursorSpooler::printImage(const std::string &printer, const std::string &jobName,
                                            const RgbImage &image)
{
    const WaitCursor busy;
    return m_spooler->printImage(printer, jobName, image);
}
