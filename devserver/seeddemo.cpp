// The demo organisation and its tickets.

#include "passwords.h"
#include "seed.h"
#include "seeddata.h"
#include "vocabulary.h"

#include <QDate>
#include <QSqlQuery>

namespace devserver {

namespace {

using namespace seeddata;

QString u8(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

QVariant textOrNull(const char* s) {
    return s ? QVariant(QString::fromUtf8(s)) : QVariant(QMetaType(QMetaType::QString));
}

struct Person {
    QString nationalId, username, fullName, mobile, fixedPhone, email, ip;
    int org = 0;
};

QList<Person> people() {
    QList<Person> out;
    for (int i = 0; i < 32; ++i) {
        Person p;
        const int first = i % 16, family = (i * 5) % 12;
        p.fullName = u8(firstNames().at(first)) + u' ' + u8(familyNames().at(family));
        p.username = u8(latinFirst().at(first)) + u'.' + u8(latinFamily().at(family));
        // Citizens' numbers start with 1, residents' with 2.
        p.nationalId = QStringLiteral("%1%2")
                           .arg(i % 5 == 4 ? 2 : 1)
                           .arg(104472113 + i * 3137 * 11, 9, 10, QLatin1Char('0'));
        p.mobile = QStringLiteral("05%1").arg(50123400 + i * 7121, 8, 10, QLatin1Char('0'));
        if (i % 3 != 2)
            p.fixedPhone = QStringLiteral("011%1").arg(4610000 + i * 131, 7, 10, QLatin1Char('0'));
        p.email = p.username + QStringLiteral("@kalvorin.example");
        p.ip = QStringLiteral("10.20.%1.%2").arg(i % 8 + 1).arg(20 + i * 3);
        p.org = i % int(orgUnits().size());
        out.append(p);
    }
    return out;
}

const QByteArray& samplePng() {
    static const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==");
    return png;
}

QByteArray samplePdf(const QString& title) {
    return "%PDF-1.4\n% " + title.toUtf8() +
           "\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n";
}

QString firstAgentOf(const QString& scopeId) {
    for (const Staff& s : staff())
        if (s.scopeId && scopeId == QLatin1String(s.scopeId) && QLatin1String(s.role) == role::Agent)
            return u8(s.username);
    return {};
}

QString supervisorOf(const QString& unit) {
    for (const Staff& s : staff())
        if (s.unit && unit == QLatin1String(s.unit) && QLatin1String(s.role) == role::Supervisor)
            return u8(s.username);
    return QStringLiteral("admin");
}

QString nameOf(const QString& username) {
    for (const Staff& s : staff())
        if (username == QLatin1String(s.username))
            return u8(s.name);
    return username;
}

const Scope& scopeById(const QString& id) {
    for (const Scope& s : scopes())
        if (id == QLatin1String(s.id))
            return s;
    return scopes().first();
}

} // namespace

QList<DemoAccount> demoAccounts() {
    QList<DemoAccount> out;
    for (const Staff& s : staff()) {
        const QString r = u8(s.role);
        out.append({u8(s.username), passwordFor(r), roleLabel(r),
                    s.scopeId ? u8(scopeById(u8(s.scopeId)).name ? scopeById(u8(s.scopeId)).name
                                                                 : scopeById(u8(s.scopeId)).path)
                              : QStringLiteral("جميع جهات المعالجة")});
    }
    return out;
}

void seedOrganisation(Database& db) {
    int sort = 0;
    for (const Scope& s : scopes())
        db.exec(QStringLiteral("INSERT INTO scopes(id, type, type_label, name, path, unit, sort) VALUES(?, "
                               "?, ?, ?, ?, ?, ?)"),
                {u8(s.id), u8(s.type), u8(s.typeLabel), textOrNull(s.name), u8(s.path), u8(s.unit), sort++});
    sort = 0;
    for (const OrgUnit& o : orgUnits())
        db.exec(
            QStringLiteral(
                "INSERT INTO org_units(department, admin, division, section, sort) VALUES(?, ?, ?, ?, ?)"),
            {u8(o.department), u8(o.admin), u8(o.division), u8(o.section), sort++});
    int orgId = 0;
    for (const Staff& s : staff()) {
        const PasswordHash h = hashPassword(passwordFor(u8(s.role)));
        QVariantList org(4, QVariant(QMetaType(QMetaType::QString)));
        if (s.orgIndex >= 0) {
            const OrgUnit& o = orgUnits().at(s.orgIndex);
            org = {u8(o.department), u8(o.admin), u8(o.division), u8(o.section)};
        }
        db.exec(QStringLiteral(
                    "INSERT INTO users(username, name, role, scope_id, unit, department, region, division, "
                    "section, org_id, salt, hash, iterations) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {u8(s.username), u8(s.name), u8(s.role), textOrNull(s.scopeId), textOrNull(s.unit), org[0],
                 org[1], org[2], org[3],
                 s.orgIndex >= 0 ? QVariant(QStringLiteral("ORG-%1").arg(1000 + s.orgIndex)) : QVariant(),
                 h.salt, h.hash, h.iterations});
        ++orgId;
    }
    for (const Service& s : services())
        db.exec(QStringLiteral(
                    "INSERT INTO services(id, name, category, priority, scope_id, region) VALUES(?, ?, ?, ?, "
                    "?, ?)"),
                {s.id, u8(s.name), u8(s.category), u8(s.priority), u8(s.scopeId), u8(s.region)});
    sort = 0;
    for (const char* r : routeReasons())
        db.exec(QStringLiteral("INSERT INTO reasons(kind, text, sort) VALUES('route', ?, ?)"),
                {u8(r), sort++});
    for (const char* r : rejectReasons())
        db.exec(QStringLiteral("INSERT INTO reasons(kind, text, sort) VALUES('reject', ?, ?)"),
                {u8(r), sort++});
    for (const Person& p : people()) {
        const OrgUnit& o = orgUnits().at(p.org);
        db.exec(QStringLiteral(
                    "INSERT INTO people(national_id, username, full_name, mobile, fixed_phone, email, ip, "
                    "department, region, division, section) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {p.nationalId, p.username, p.fullName, p.mobile,
                 p.fixedPhone.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(p.fixedPhone),
                 p.email, p.ip, u8(o.department), u8(o.admin), u8(o.division), u8(o.section)});
    }
}

void seedDemoTickets(Database& db) {
    const QList<Person> persons = people();
    const qint64 at = now();
    const int year = QDate::currentDate().year();
    const QStringList channels{QStringLiteral("تطبيق الجوال"), QStringLiteral("البوابة الإلكترونية"),
                               QStringLiteral("مركز الاتصال"), QStringLiteral("البريد الإلكتروني")};
    const QStringList offices{QStringLiteral("نقطة الاستقبال الإلكترونية"),
                              QStringLiteral("مركز الاتصال الموحد"),
                              QStringLiteral("مكتب خدمة المستفيدين - المبنى الرئيسي")};
    const int count = 44;
    for (int i = 0; i < count; ++i) {
        const Service& svc = services().at((i * 5) % services().size());
        const Person& p = persons.at(i % persons.size());
        const OrgUnit& o = orgUnits().at(p.org);
        const QString scopeId = u8(svc.scopeId);
        const Scope& scope = scopeById(scopeId);
        const QString priority = i % 7 == 0 ? QStringLiteral("critical") : u8(svc.priority);
        const int sla = slaMinutesFor(priority);

        QString st;
        switch (i % 10) {
        case 0:
        case 1:
        case 2:
            st = state::New;
            break;
        case 3:
        case 4:
        case 5:
            st = state::Processing;
            break;
        case 6:
            st = state::AwaitingManager;
            break;
        case 7:
        case 8:
            st = state::Closed;
            break;
        default:
            st = state::Rejected;
            break;
        }
        // Open tickets: some breached, some near their limit, most comfortable.
        qint64 elapsedMinutes = 0;
        switch (i % 4) {
        case 0:
            elapsedMinutes = sla * 13 / 10;
            break;
        case 1:
            elapsedMinutes = sla * 85 / 100;
            break;
        default:
            elapsedMinutes = sla * 3 / 10 + i;
            break;
        }
        if (!isOpenState(st))
            elapsedMinutes = 60 * 24 * (2 + i % 9);
        const qint64 created = at - elapsedMinutes * 60 - (i % 3) * 60;
        std::optional<qint64> closed;
        if (st == state::Closed)
            closed = i % 20 == 7 ? at - 3600 : created + sla * 60 * 6 / 10;
        if (st == state::Rejected)
            closed = created + 2 * 3600;

        const QString handler =
            (st == state::New || st == state::Rejected) ? QString() : firstAgentOf(scopeId);
        const QString supervisor = supervisorOf(u8(scope.unit));
        const QString creator = u8(staff().at((i * 3) % staff().size()).username);
        const QString channel = channels.at(i % channels.size());
        const QString number = QStringLiteral("MNT-%1-%2").arg(year).arg(i + 1, 5, 10, QLatin1Char('0'));
        const QString title = u8(svc.titles[i % 3]);

        QSqlQuery ins = db.exec(
            QStringLiteral(
                "INSERT INTO tickets(maintenance_no, title, description, state, priority, service_id, "
                "scope_id, handler_user, beneficiary_name, beneficiary_user, beneficiary_mobile, "
                "beneficiary_fixed, beneficiary_email, beneficiary_ip, beneficiary_national_id, entity_name, "
                "department_name, location, office_name, channel, created_by, created_at, updated_at, "
                "closed_at, sla_minutes) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                "?, ?, ?, ?, ?)"),
            {number,
             title,
             u8(svc.description),
             st,
             priority,
             svc.id,
             scopeId,
             handler.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(handler),
             p.fullName,
             p.username,
             p.mobile,
             p.fixedPhone,
             p.email,
             p.ip,
             p.nationalId,
             u8(o.department),
             u8(o.division) + QStringLiteral(" / ") + u8(o.section),
             u8(o.admin) + QStringLiteral(" - المبنى %1، الدور %2").arg(QChar(u'A' + i % 4)).arg(1 + i % 5),
             offices.at(i % offices.size()),
             channel,
             creator,
             created,
             created,
             closed ? QVariant(*closed) : QVariant(QMetaType(QMetaType::LongLong)),
             sla});
        const qint64 id = db.lastInsertId(ins);

        qint64 t = created;
        auto log = [&](const QString& key, const QString& actor, const QString& logState, const QString& note,
                       const QString& reason, qint64 when) {
            when = std::min(when, at); // never in the future for a recent ticket
            db.exec(QStringLiteral(
                        "INSERT INTO ticket_log(ticket_id, key, actor, actor_user, state, priority, note, "
                        "reason, created_at) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {id, key, nameOf(actor), actor, logState, priority, note, reason, when});
            db.exec(QStringLiteral("UPDATE tickets SET updated_at = ? WHERE id = ?"), {when, id});
        };
        log(channel == channels.first() ? logkey::Created : logkey::CreatedFull, creator, state::New,
            u8(svc.description), QString(), t);
        if (!handler.isEmpty()) {
            t += 15 * 60;
            log(logkey::Route, supervisor, state::Processing, QStringLiteral("إسناد البلاغ للمعالج المختص."),
                u8(routeReasons().at(i % routeReasons().size())), t);
            t += 40 * 60;
            log(logkey::Comment, handler, state::Processing, u8(comments().at(i % comments().size())),
                QString(), t);
        }
        if (i % 6 == 2) {
            const Scope& other = scopes().at((i / 6 + 3) % scopes().size());
            if (QLatin1String(other.id) != scopeId) {
                t += 10 * 60;
                db.exec(QStringLiteral(
                            "INSERT INTO participants(ticket_id, scope_id, username, name, role, reason, "
                            "created_at) VALUES(?, ?, ?, ?, ?, ?, ?)"),
                        {id, u8(other.id), firstAgentOf(u8(other.id)),
                         other.name ? u8(other.name) : u8(other.path), QStringLiteral("جهة معالجة مشتركة"),
                         QStringLiteral("يتطلب تنسيقاً مع الجهة"), t});
                log(logkey::ParticipantAdded, handler.isEmpty() ? supervisor : handler, st,
                    QStringLiteral("إشراك جهة لاستكمال المعالجة."), QString(), t);
            }
        }
        if (i % 9 == 4 && isOpenState(st) && !handler.isEmpty()) {
            t += 5 * 60;
            log(logkey::TempPassword, handler, st, QStringLiteral("تم إرسال كلمة مرور مؤقتة للمستفيد."),
                QString(), t);
        }
        if (st == state::AwaitingManager)
            log(logkey::ManagerRoute, handler, st, QStringLiteral("البلاغ يحتاج اعتماد الإدارة لإحالته."),
                u8(routeReasons().at(1)), t + 20 * 60);
        if (st == state::Closed)
            log(logkey::Close, handler, st, QStringLiteral("تم حل المشكلة والتأكد من المستفيد."), QString(),
                *closed);
        if (st == state::Rejected)
            log(logkey::Reject, supervisor, st, QString(), u8(rejectReasons().at(i % rejectReasons().size())),
                *closed);

        if (i % 5 == 0)
            db.exec(QStringLiteral(
                        "INSERT INTO attachments(ticket_id, name, mime, size, purpose, data, uploaded_by, "
                        "created_at) VALUES(?, ?, 'image/png', ?, 'ticket_attachment', ?, ?, ?)"),
                    {id, QStringLiteral("صورة الخطأ.png"), qint64(samplePng().size()), samplePng(), creator,
                     created});
        if (st == state::Closed && i % 2 == 1) {
            const QByteArray pdf = samplePdf(number);
            db.exec(
                QStringLiteral(
                    "INSERT INTO attachments(ticket_id, name, mime, size, purpose, data, uploaded_by, "
                    "created_at) VALUES(?, ?, 'application/pdf', ?, 'service_acceptance', ?, ?, ?)"),
                {id, QStringLiteral("محضر استلام الخدمة.pdf"), qint64(pdf.size()), pdf, handler, *closed});
        }
    }
    db.setMeta(QStringLiteral("ticket_sequence_%1").arg(year), QString::number(count));

    // Each staff member starts with notifications about tickets of their own
    // scope (all scopes for the administrator); the older half already read.
    for (const Staff& s : staff()) {
        const QString username = u8(s.username);
        QSqlQuery q =
            s.scopeId
                ? db.exec(QStringLiteral("SELECT maintenance_no, title, created_at FROM tickets WHERE "
                                         "scope_id IN (SELECT id FROM scopes WHERE unit = ?) OR "
                                         "scope_id = ? ORDER BY created_at DESC LIMIT 6"),
                          {QLatin1String(s.role) == role::Supervisor ? u8(s.unit) : QString(), u8(s.scopeId)})
                : db.exec(QStringLiteral("SELECT maintenance_no, title, created_at FROM tickets ORDER "
                                         "BY created_at DESC LIMIT 6"));
        int n = 0;
        while (q.next()) {
            const QString number = q.value(0).toString();
            const bool read = n >= 3;
            const QString title = n % 2 == 0 ? QStringLiteral("بلاغ جديد %1").arg(number)
                                             : QStringLiteral("تحديث على البلاغ %1").arg(number);
            db.exec(
                QStringLiteral("INSERT INTO notifications(username, title, body, type, is_read, created_at, "
                               "maintenance_no) VALUES(?, ?, ?, ?, ?, ?, ?)"),
                {username, title, q.value(1).toString(),
                 n % 2 == 0 ? QStringLiteral("ticket.created") : QStringLiteral("ticket.comment"),
                 read ? 1 : 0, q.value(2).toLongLong() + 60, number});
            ++n;
        }
        // One general announcement without a ticket, so not every row is about one.
        db.exec(QStringLiteral(
                    "INSERT INTO notifications(username, title, body, type, is_read, created_at) VALUES(?, "
                    "?, ?, 'announcement', 1, ?)"),
                {username, QStringLiteral("صيانة مجدولة للأنظمة"),
                 QStringLiteral("ستتوقف الأنظمة الإلكترونية للصيانة يوم الجمعة من الساعة 1 حتى 3 فجراً."),
                 at - 3 * 24 * 3600});
    }
}

int seedDatabase(Database& db, const QString& kind) {
    Transaction t(db);
    seedOrganisation(db);
    int tickets = 0;
    if (kind.startsWith(QLatin1String("bench:"))) {
        tickets = kind.mid(6).toInt();
        seedBenchTickets(db, tickets);
    } else {
        seedDemoTickets(db);
        tickets = int(db.scalar(QStringLiteral("SELECT COUNT(*) FROM tickets")).toLongLong());
    }
    db.setMeta(QStringLiteral("seed"), kind);
    t.commit();
    return tickets;
}

} // namespace devserver
