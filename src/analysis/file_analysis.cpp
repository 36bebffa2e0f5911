#include "file_analysis.h"

#include <sys/stat.h>

#include "metadata/img_data.h"
#include "photo_facts.h"

namespace quorvela::analysis {

bool IsReadableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

FileResult AnalyseFile(const std::string& path, const AnalysisSettings& settings,
                       const equivalence::EquivalentList& table, metadata::TimgData& reader, bool keepRecord) {
    const PhotoFacts facts = ReadFacts(path, IsReadableFile(path), NeedsMakerNotePairs(settings), reader);
    return DeriveResult(facts, path, settings, table, reader.DecimalSeparator, keepRecord);
}

}  // namespace quorvela::analysis
