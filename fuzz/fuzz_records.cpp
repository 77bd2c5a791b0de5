// Any bytes as the body of an answer, read by both JSON readers. The first byte
// picks the answer type (its value modulo the number of types), the rest is the body.
// Where the one-pass reader accepts, the document reader accepts too, with the
// very same record; the client's decoding gives the document reader's verdict,
// except that it names a member holding a number that is not a whole one; and
// an answer that is well-formed but for a number's size is refused by the
// document reader for that number only. Anything else stops the run.

#include "records/records.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <cstdio>
#include <cstdlib>
#include <iterator>

using namespace kalvorin;

namespace {

void require(bool condition, const char* type, const char* what) {
    if (condition)
        return;
    std::fprintf(stderr, "readers disagree on %s: %s\n", type, what);
    std::abort();
}

template <class T> void check(const QByteArray& body, const char* type) {
    std::optional<QString> wrongIntegerPath;
    const std::optional<T> direct = json::direct::read<T>(body, &wrongIntegerPath);
    const Result<T> strict = json::Decoder<T>::strict(body);
    const Result<T> decoded = json::decode<T>(body);
    if (direct) {
        require(strict.ok(), type, "the one-pass reader accepts what the document reader refuses");
        require(*direct == strict.value(), type, "the two readers give different records");
    }
    if (wrongIntegerPath) {
        require(!decoded.ok(), type, "a member holding no whole number is accepted");
        return;
    }
    require(decoded.ok() == strict.ok(), type, "the decoding and the document reader differ");
    if (decoded.ok())
        require(decoded.value() == strict.value(), type, "the decoding gives another record");
    else
        require(decoded.description() == strict.description(), type, "the decoding gives another sentence");
}

void checkNumberRange(const QByteArray& body) {
    if (!json::direct::wellFormedWithAnyNumbers(body))
        return;
    QJsonParseError error{};
    QJsonDocument::fromJson(body, &error);
    require(error.error == QJsonParseError::NoError || error.error == QJsonParseError::IllegalNumber,
            "any answer", "a well-formed answer is refused for something other than a number");
}

struct AnswerType {
    const char* name;
    void (*check)(const QByteArray& body, const char* name);
};

const AnswerType kAnswerTypes[] = {
    {"StatusResponse", check<StatusResponse>},
    {"LoginResponse", check<LoginResponse>},
    {"APIMessage", check<APIMessage>},
    {"MobileDeviceResponse", check<MobileDeviceResponse>},
    {"DashboardResponse", check<DashboardResponse>},
    {"TicketsResponse", check<TicketsResponse>},
    {"TicketResponse", check<TicketResponse>},
    {"ReferenceDataResponse", check<ReferenceDataResponse>},
    {"NotificationsResponse", check<NotificationsResponse>},
    {"LookupPersonResponse", check<LookupPersonResponse>},
    {"CreateTicketResponse", check<CreateTicketResponse>},
};
// fuzz/run.sh gives every seed answer the first bytes 0 to 15.
static_assert(std::size(kAnswerTypes) <= 16);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const AnswerType& type = kAnswerTypes[data[0] % std::size(kAnswerTypes)];
    const QByteArray body(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    type.check(body, type.name);
    checkNumberRange(body);
    return 0;
}
