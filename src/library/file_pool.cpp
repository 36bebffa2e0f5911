#include "file_pool.h"

#include <sys/resource.h>

namespace quorvela::library {

int DefaultJobs() {
    return 64;
}

long VoluntaryWaits() {
    rusage usage{};
    return ::getrusage(RUSAGE_THREAD, &usage) == 0 ? usage.ru_nvcsw : 0;
}

}  // namespace quorvela::library
