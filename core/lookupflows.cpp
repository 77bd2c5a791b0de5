// The new-ticket form's two lookups: what the server already knows about a
// beneficiary (by national id) or an account (by user name).

#include "mobileappstate.h"

namespace kalvorin {

namespace {

LookupPersonResponse answerOrFailure(Result<LookupPersonResponse> answer) {
    if (answer)
        return std::move(answer).value();
    LookupPersonResponse failed;
    failed.ok = false;
    failed.found = false;
    failed.message = answer.description();
    return failed;
}

} // namespace

// (The query is built before the co_await: g++ 12 cannot keep a braced list
// inside a suspended expression.)
QCoro::Task<LookupPersonResponse> MobileAppState::lookupBeneficiary(QString nationalId) {
    KalvorinAPI::Query query;
    query.append({QStringLiteral("nationalId"), std::move(nationalId)});
    Result<LookupPersonResponse> answer = co_await request<LookupPersonResponse>(
        QStringLiteral("beneficiary_lookup"), QStringLiteral("GET"), std::move(query));
    co_return answerOrFailure(std::move(answer));
}

QCoro::Task<LookupPersonResponse> MobileAppState::lookupAccount(QString account) {
    KalvorinAPI::Query query;
    query.append({QStringLiteral("account"), std::move(account)});
    Result<LookupPersonResponse> answer = co_await request<LookupPersonResponse>(
        QStringLiteral("account_lookup"), QStringLiteral("GET"), std::move(query));
    co_return answerOrFailure(std::move(answer));
}

} // namespace kalvorin
