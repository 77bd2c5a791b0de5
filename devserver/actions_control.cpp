// test_control: exists only with --test-controls. GET answers the current
// faults; POST changes them with the command line's own syntax:
//   {"clear": true, "latency": ["300", "tickets=900"], "fail": ["dashboard=503"],
//    "drop": ["notifications"], "garbage": ["status=type"], "notifyNow": true,
//    "endSessions": "agent"}

#include "actions.h"

namespace devserver {

ApiReply Actions::testControl(Call& call) {
    if (call.request.method == "POST") {
        const QJsonObject& body = call.request.json;
        if (body.value(QStringLiteral("clear")).toBool())
            m_faults.clear();
        struct Kind {
            const char* key;
            bool (FaultPlan::*add)(const QString&, QString*);
        };
        const Kind kinds[] = {{"latency", &FaultPlan::addLatency},
                              {"fail", &FaultPlan::addFailure},
                              {"drop", &FaultPlan::addDrop},
                              {"garbage", &FaultPlan::addGarbage}};
        for (const Kind& k : kinds) {
            const QJsonValue v = body.value(QLatin1String(k.key));
            if (v.isUndefined())
                continue;
            if (!v.isArray())
                return ApiReply::error(
                    422, QStringLiteral("«%1» يجب أن يكون قائمة نصوص.").arg(QLatin1String(k.key)));
            for (const QJsonValue& rule : v.toArray()) {
                QString problem;
                if (!rule.isString() || !(m_faults.*k.add)(rule.toString(), &problem))
                    return ApiReply::error(422,
                                           QStringLiteral("«%1»: %2").arg(QLatin1String(k.key), problem));
            }
        }
        if (body.value(QStringLiteral("notifyNow")).toBool())
            notifyPeriodically();
        if (const QJsonValue user = body.value(QStringLiteral("endSessions")); user.isString())
            endSessions(m_db, user.toString());
    }
    return ApiReply::ok({{QStringLiteral("ok"), true}, {QStringLiteral("faults"), m_faults.toJson()}});
}

} // namespace devserver
