#include "spooler/HeadCheckJob.h"

namespace HeadCheckJob {

std::string build()
{
    std::string job(kCommand);
    job.resize(kSize, '\0');
    return job;
}

}  // namespace HeadCheckJob
