#include <QListView>
#include <QPushButton>
#include <QtTest>

#include "OperationsFixture.h"
#include "kit/RecordListModel.h"
#include "operations/WizForm.h"
#include "staff/StaffPage.h"

using Kind = MessageSink::Kind;

namespace {

db::WizardTemplate makeTemplate(const std::string& name, std::uint8_t base)
{
    db::WizardTemplate t;
    for (auto& b : t.bytes) b = base;
    t.setText(db::WizardTemplate::TemplateName, name);
    for (int k = 0; k < 12; ++k)
        t.bytes[static_cast<std::size_t>(62 + k)] = static_cast<std::uint8_t>(20 - k);
    return t;
}

QListView* templates(WizForm& form)
{
    return form.findChild<QListView*>("ListBox1");
}

}  // namespace

class WizFormTest : public QObject {
    Q_OBJECT
private slots:
    void listsEveryTemplateName();
    void okWithoutTemplateChangesNothing();
    void basesTenGivePlayerOfTenToFifteen();
    void sumsWrapAndSourceIsMadeOncePerOk();
};

void WizFormTest::listsEveryTemplateName()
{
    OpsWorld w;
    const std::string fifty(50, 'N');
    w.ctx.db.wizardTemplates = {makeTemplate("Striker", 10), makeTemplate(fifty, 10)};
    WizForm form(w.ctx);
    QCOMPARE(form.windowTitle(), QStringLiteral("Wized Beta1"));
    QCOMPARE(form.findChild<QPushButton*>("Button1")->text(), QStringLiteral("OK"));
    QCOMPARE(form.findChild<QPushButton*>("Button2")->text(), QStringLiteral("Cancel"));
    form.fillLists();
    QCOMPARE(rowTexts(templates(form)), (QStringList{"Striker", QString::fromStdString(fifty)}));
    QCOMPARE(rowRecords(templates(form)), (std::vector<int>{0, 1}));
    form.clearLists();
    QCOMPARE(rowTexts(templates(form)), QStringList{});
}

void WizFormTest::okWithoutTemplateChangesNothing()
{
    OpsWorld w;
    StaffPage page(w.ctx);
    w.ctx.staffPage = &page;
    w.ctx.db.wizardTemplates = {makeTemplate("Keeper", 10)};
    WizForm form(w.ctx);
    int sources = 0;
    form.setRandomSource([&] {
        ++sources;
        return db::RandomAddition([] { return 0; });
    });
    const auto before = w.snapshot();
    form.show();
    form.Button1Click();  // empty list
    form.fillLists();
    form.Button1Click();  // list filled, nothing chosen
    // An entry whose template went away (a reload with fewer templates).
    selectRow(templates(form), 0);
    w.ctx.db.wizardTemplates.clear();
    const auto withoutTemplates = w.snapshot();
    form.Button1Click();
    QVERIFY(form.isVisible());
    QCOMPARE(sources, 0);
    QVERIFY(w.snapshot() == withoutTemplates);
    w.ctx.db.wizardTemplates = {makeTemplate("Keeper", 10)};
    QVERIFY(w.snapshot() == before);
    QCOMPARE(w.messages.shown.size(), std::size_t(3));
    for (const auto& m : w.messages.shown) QCOMPARE(m.kind, Kind::Warning);
    QVERIFY(!page.findChild<QListView*>("ListBoxStaff") ||
            rowTexts(page.findChild<QListView*>("ListBoxStaff")).isEmpty());
    form.Button2Click();
    QVERIFY(!form.isVisible());
}

void WizFormTest::basesTenGivePlayerOfTenToFifteen()
{
    OpsWorld w;
    StaffPage page(w.ctx);
    w.ctx.staffPage = &page;
    w.ctx.db.wizardTemplates = {makeTemplate("Keeper", 99), makeTemplate("Winger", 10)};
    WizForm form(w.ctx);
    int draw = 0;
    form.setRandomSource([&] { return db::RandomAddition([&] { return draw++ % 6; }); });
    form.fillLists();
    form.show();
    selectRow(templates(form), 1);
    const std::size_t playersBefore = w.ctx.db.players.size();
    form.Button1Click();

    QCOMPARE(w.messages.texts(), QStringList{"Adding staff was performed well!"});
    QVERIFY(!form.isVisible());
    QCOMPARE(draw, 40);
    QCOMPARE(w.ctx.db.players.size(), playersBefore + 1);
    const db::PlayerRecord& p = w.ctx.db.players.back();
    const db::WizardTemplate& t = w.ctx.db.wizardTemplates[1];
    for (int n = 15; n <= 26; ++n)
        QCOMPARE(p.bytes[static_cast<std::size_t>(n)], t.bytes[static_cast<std::size_t>(n + 47)]);
    for (int n = 27; n <= 68; ++n) {
        const int v = p.bytes[static_cast<std::size_t>(n)];
        if (n == 48 || n == 59)
            QCOMPARE(v, 0);
        else
            QVERIFY2(v >= 10 && v <= 15, qPrintable(QString::number(n)));
    }
    QCOMPARE(int(p.bytes[69]), 0);

    const db::StaffRecord& s = w.ctx.db.staff.back();
    QCOMPARE(s.displayName, std::string("<new wiz-playrt>"));
    QCOMPARE(int(s.get(db::StaffRecord::Classification)), 2);
    QCOMPARE(int(s.get(db::StaffRecord::JobForClub)), 11);
    QCOMPARE(int(s.get(db::StaffRecord::JobForNation)), 11);
    QCOMPARE(s.get(db::StaffRecord::ClubContractedId), -2);
    QCOMPARE(s.get(db::StaffRecord::PlayerId), static_cast<std::int32_t>(playersBefore));
    auto* list = page.findChild<QListView*>("ListBoxStaff");
    QVERIFY(list);
    QCOMPARE(rowTexts(list), QStringList{"<new wiz-playrt>"});
    QCOMPARE(rowRecords(list), std::vector<int>{s.get(db::StaffRecord::StaffId)});
    QCOMPARE(selectedRow(list), 0);
}

void WizFormTest::sumsWrapAndSourceIsMadeOncePerOk()
{
    OpsWorld w;
    w.ctx.db.wizardTemplates = {makeTemplate("Giant", 253)};
    const auto templateBytes = w.ctx.db.wizardTemplates[0].bytes;
    WizForm form(w.ctx);
    int sources = 0;
    form.setRandomSource([&] {
        ++sources;
        return db::RandomAddition([] { return 5; });
    });
    form.fillLists();
    for (int k = 0; k < 2; ++k) {
        selectRow(templates(form), 0);
        form.Button1Click();
    }
    QCOMPARE(sources, 2);
    QCOMPARE(w.ctx.db.players.size(), std::size_t(2));
    for (const db::PlayerRecord& p : w.ctx.db.players) {
        QCOMPARE(int(p.get(db::PlayerRecord::Acceleration)), 2);
        QCOMPARE(int(p.get(db::PlayerRecord::WorkRate)), 2);
    }
    QVERIFY(w.ctx.db.wizardTemplates[0].bytes == templateBytes);
}

QTEST_MAIN(WizFormTest)
#include "WizFormTest.moc"
