// What only an archive on a PostgreSQL server has; run on the tests' server only.
#include "archive/Archive.h"
#include "examples/ArchiveRounds.h"

#include <gtest/gtest.h>

#include "support/ArchiveBackends.h"
#include "support/PgServer.h"
#include "support/TestSupport.h"

using namespace vel;
using testing_support::errorOf;

TEST(ArchiveServer, Placeholder) {
    QTemporaryDir dir;
    const ArchiveLocation where = testing_support::newArchive(dir);
    Archive(where).store(examples::generatedRound(1, 1, 2), IfStored::Refuse);
    EXPECT_EQ(Archive(where).list().size(), 1u);
}
