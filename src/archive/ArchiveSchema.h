#pragma once
// The tables of the archive as a list of steps, each leading from one version of the
// schema to the next. An archive records its version; opening an older one runs the steps
// it lacks, in order, in one transaction, after a copy of the file has been made.

#include <functional>
#include <vector>

namespace vel {

class SqlSession;

struct SchemaStep {
    int version; // the schema's version after this step: 1 for the first, and so on
    std::function<void(SqlSession&)> apply;
};

// The steps that build the current schema; its version is that of the last step.
std::vector<SchemaStep> archiveSchema();

} // namespace vel
