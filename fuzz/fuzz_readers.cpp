// The instrument data file and the reference values file read from whatever a user may
// open: the only failure allowed is "Read beyond end of file" on a short file, and what is
// read must follow the record layout byte for byte.
#include "FuzzSupport.h"

#include "data/InstrumentFile.h"
#include "data/ReferenceFile.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

using fuzz::expect;
using fuzz::fail;

namespace {

std::string g_dir;
std::string g_file;

void removeScratch() {
    ::unlink(g_file.c_str());
    ::rmdir(g_dir.c_str());
}

void writeScratch(const std::uint8_t* data, std::size_t size) {
    int fd = ::open(g_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        fail(QStringLiteral("cannot create the scratch file"));
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0)
            fail(QStringLiteral("cannot write the scratch file"));
        done += std::size_t(n);
    }
    ::close(fd);
}

std::int32_t le32(const std::uint8_t* p) {
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                        std::uint32_t(p[3]) << 24);
}

struct Field {
    const char* name;
    int offset;
    int capacity;
    QString vel::InstrumentRecord::*text;
};
constexpr Field kFields[] = {
    {"id", 208, 20, &vel::InstrumentRecord::id},
    {"time", 229, 15, &vel::InstrumentRecord::time},
    {"temperature", 245, 15, &vel::InstrumentRecord::temperature},
    {"received", 261, 15, &vel::InstrumentRecord::received},
    {"test date", 277, 15, &vel::InstrumentRecord::testDate},
};

// The record against the raw bytes: counts little-endian, each text as long as its length
// byte allows within its field, ASCII bytes unchanged.
void checkRecord(const vel::InstrumentRecord& rec, const std::uint8_t* raw) {
    for (int i = 0; i < 52; ++i)
        expect(rec.counts[i] == le32(raw + 4 * i),
               QStringLiteral("count %1 differs from the file").arg(i));
    for (const Field& f : kFields) {
        const QString& text = rec.*f.text;
        int len = std::min<int>(raw[f.offset], f.capacity);
        expect(text.size() == len, QStringLiteral("%1 has %2 characters, expected %3")
                                       .arg(QLatin1String(f.name))
                                       .arg(text.size())
                                       .arg(len));
        for (int k = 0; k < len; ++k) {
            std::uint8_t b = raw[f.offset + 1 + k];
            if (b < 0x80)
                expect(text.at(k).unicode() == b,
                       QStringLiteral("%1: character %2 is not the byte in the file")
                           .arg(QLatin1String(f.name))
                           .arg(k));
        }
    }
}

// Writing a decoded record and decoding it again keeps the counts and the texts exactly; a
// byte that has no character in Windows-1250 reads as U+FFFD and is written back as such a
// byte.
void checkRoundTrip(const vel::InstrumentRecord& rec) {
    QByteArray bytes = vel::encodeInstrumentRecord(rec);
    expect(bytes.size() == vel::kInstrumentRecordSize,
           QStringLiteral("encoded record has a wrong size"));
    vel::InstrumentRecord again = vel::decodeInstrumentRecord(bytes);
    expect(again.counts == rec.counts, QStringLiteral("counts change on a round trip"));
    for (const Field& f : kFields) {
        expect(again.*f.text == rec.*f.text,
               QStringLiteral("%1 changes on a round trip").arg(QLatin1String(f.name)));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_readers.XXXXXX";
    if (!::mkdtemp(tmpl.data()))
        fail(QStringLiteral("cannot create a scratch folder"));
    g_dir = tmpl;
    g_file = g_dir + "/input.dat";
    std::atexit(removeScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeScratch(data, size);
    const QString path = QFile::decodeName(QByteArray(g_file.c_str()));
    const QString shortFile = QStringLiteral("Read beyond end of file");

    vel::InstrumentRecord rec;
    QString err = fuzz::appErrorOf([&] { rec = vel::readInstrumentFile(path); });
    if (size < std::size_t(vel::kInstrumentRecordSize)) {
        expect(err == shortFile,
               QStringLiteral("instrument file of %1 bytes: got \"%2\"").arg(size).arg(err));
    } else {
        expect(err.isNull(),
               QStringLiteral("instrument file of %1 bytes: got \"%2\"").arg(size).arg(err));
        checkRecord(rec, data);
        // Decoding the bytes in memory gives the same record; bytes past the record do
        // not matter.
        vel::InstrumentRecord direct = vel::decodeInstrumentRecord(
            QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        expect(direct.counts == rec.counts && direct.id == rec.id && direct.time == rec.time &&
                   direct.temperature == rec.temperature && direct.received == rec.received &&
                   direct.testDate == rec.testDate,
               QStringLiteral("decoding in memory differs from reading the file"));
        checkRoundTrip(rec);
    }

    vel::ReferenceValues ref{};
    err = fuzz::appErrorOf([&] { ref = vel::readReferenceFile(path); });
    if (size < std::size_t(vel::kReferenceRecordSize)) {
        expect(err == shortFile,
               QStringLiteral("reference file of %1 bytes: got \"%2\"").arg(size).arg(err));
    } else {
        expect(err.isNull(),
               QStringLiteral("reference file of %1 bytes: got \"%2\"").arg(size).arg(err));
        for (int k = 0; k < 10; ++k)
            expect(ref[k] == le32(data + 4 * k),
                   QStringLiteral("reference value %1 differs from the file").arg(k));
        expect(vel::decodeReferenceValues(vel::encodeReferenceValues(ref)) == ref,
               QStringLiteral("reference values change on a round trip"));
    }
    return 0;
}
