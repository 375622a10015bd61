// Menu 141 and accelerator table 113 as JSON: every popup, item, id, text
// and initial check; every command key, in Qt's portable key names; and the
// keys shown in the item texts match the table.
#include <QtCore/QFile>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtGui/QKeySequence>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

struct Item {
    int id; // 0 for a separator
    const char* text;
    bool checked;
};

struct Popup {
    const char* text;
    std::vector<Item> items;
};

const Item separator{0, "", false};

const std::vector<Popup> expectedMenu = {
    {"&View",
     {{40052, "Fixed Si&dereal Viewpoint\tF3", false},
      {40051, "Fixed S&olar Viewpoint\tF4", false},
      separator,
      {40053, "&At Moon\tF5", false},
      {40054, "&From Moon\tF6", false}}},
    {"&Planet",
     {{40011, "Mer&cury\t      1", false},
      {40012, "&Venus\t      2", false},
      {40013, "&Earth\t      3", false},
      {40014, "&Mars\t      4", false},
      separator,
      {40015, "&Jupiter\t      5", false},
      {40016, "&Saturn\t      6", false},
      {40017, "&Uranus\t      7", false},
      {40018, "&Neptune\t      8", false},
      separator,
      {40019, "&Pluto\t      9", false}}},
    {"&Moon",
     {{40021, "Moon 1", false},
      {40022, "Moon 2", false},
      {40023, "Moon 3", false},
      {40024, "Moon 4", false},
      {40025, "Moon 5", false},
      {40026, "Moon 6", false},
      {40027, "Moon 7", false}}},
    {"&Stars",
     {{40072, "SAO Catalog\t(n stars)", false}, {40073, "PPM Catalog\t(n stars)", false}}},
    {"&Options",
     {{40038, "Show &Reference\t        R", true},
      {40066, "Show &Planets Orbits\t        P", true},
      {40067, "Show Moons &Orbits\t        O", true},
      {40039, "Show &Stars\t        S", true},
      {40069, "Show &Labels\t        L", true},
      {40074, "&Mipmapping\t        Ctrl-M", true},
      separator,
      {40086, "Tutorial\t  Ctrl-T", false},
      separator,
      {40001, "&About...\t        F1", false},
      {40002, "&Change Device...\t        F2", false},
      {40070, "Go/Stop\t        Pause", false},
      {40006, "E&xit\t        Esc", false}}},
};

std::multimap<std::string, int> expectedAccelerators() {
    std::multimap<std::string, int> keys = {
        {"F1", 40001},         {"F2", 40002},        {"Alt+Return", 40003}, {"Esc", 40006},
        {"Alt+X", 40006},      {"Alt+F4", 40006},    {"Up", 40031},         {"Down", 40032},
        {"Ctrl+Up", 40064},    {"Ctrl+Down", 40065}, {"Right", 40033},      {"Left", 40034},
        {"Ctrl+Right", 40035}, {"Ctrl+Left", 40036}, {"Pause", 40070},      {"F3", 40052},
        {"F4", 40051},         {"F5", 40053},        {"F6", 40054},         {"R", 40038},
        {"P", 40066},          {"O", 40067},         {"S", 40039},          {"L", 40069},
        {"Ctrl+T", 40086},     {"M", 40074},         {"Ctrl+Alt+D", 40071}, {"Ctrl+W", 40085}};
    for (int n = 1; n <= 9; ++n) {
        keys.insert({std::to_string(n), 40010 + n});
        keys.insert({"Alt+" + std::to_string(n), 40075 + n});
    }
    for (int k = 1; k <= 7; ++k)
        keys.insert({"Ctrl+" + std::to_string(k), 40020 + k});
    return keys;
}

QJsonDocument readJson(const char* path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError)
        << path << ": " << error.errorString().toStdString();
    return doc;
}

TEST(Menu141, HasEveryPopupItemIdTextAndCheck) {
    const QJsonDocument doc = readJson(":/MENU/141");
    ASSERT_TRUE(doc.isObject());
    const QJsonArray popups = doc.object()["popups"].toArray();
    ASSERT_EQ(popups.size(), qsizetype(expectedMenu.size()));
    std::set<int> ids;
    for (size_t p = 0; p < expectedMenu.size(); ++p) {
        const QJsonObject popup = popups[qsizetype(p)].toObject();
        EXPECT_EQ(popup["text"].toString(), expectedMenu[p].text);
        const QJsonArray items = popup["items"].toArray();
        ASSERT_EQ(items.size(), qsizetype(expectedMenu[p].items.size())) << expectedMenu[p].text;
        for (size_t i = 0; i < expectedMenu[p].items.size(); ++i) {
            const Item& want = expectedMenu[p].items[i];
            const QJsonObject got = items[qsizetype(i)].toObject();
            SCOPED_TRACE(std::string(expectedMenu[p].text) + " item " + std::to_string(i));
            if (want.id == 0) {
                EXPECT_TRUE(got["separator"].toBool());
                EXPECT_FALSE(got.contains("id"));
                continue;
            }
            EXPECT_FALSE(got.contains("separator"));
            EXPECT_EQ(got["id"].toInt(), want.id);
            EXPECT_EQ(got["text"].toString(), QString::fromLatin1(want.text));
            EXPECT_EQ(got["checked"].toBool(false), want.checked);
            EXPECT_TRUE(ids.insert(want.id).second) << "duplicate id " << want.id;
        }
    }
}

TEST(Accelerators113, CoverEveryCommandKeyInPortableKeyNames) {
    const QJsonDocument doc = readJson(":/ACCELERATORS/113");
    ASSERT_TRUE(doc.isArray());
    std::multimap<std::string, int> got;
    std::set<int> combinations;
    for (const QJsonValue v : doc.array()) {
        const QString key = v.toObject()["key"].toString();
        const int id = v.toObject()["id"].toInt();
        const QKeySequence sequence = QKeySequence::fromString(key, QKeySequence::PortableText);
        EXPECT_EQ(sequence.count(), 1) << key.toStdString();
        EXPECT_NE(sequence[0].key(), Qt::Key_unknown) << key.toStdString();
        EXPECT_EQ(sequence.toString(QKeySequence::PortableText), key) << "canonical spelling";
        EXPECT_TRUE(combinations.insert(sequence[0].toCombined()).second)
            << key.toStdString() << " is bound twice";
        got.insert({key.toStdString(), id});
    }
    EXPECT_EQ(got, expectedAccelerators());
}

TEST(Accelerators113, MatchTheKeysTheMenuShows) {
    const auto accelerators = expectedAccelerators();
    auto hasKey = [&](const std::string& key, int id) {
        const auto [lo, hi] = accelerators.equal_range(key);
        for (auto it = lo; it != hi; ++it)
            if (it->second == id) return true;
        return false;
    };
    for (const Popup& popup : expectedMenu)
        for (const Item& item : popup.items) {
            const QString text = QString::fromLatin1(item.text);
            if (item.id == 0 || !text.contains('\t') || text.contains("stars")) continue;
            QString shown = text.section('\t', 1).trimmed();
            shown.replace("Ctrl-", "Ctrl+");
            // Mipmapping shows Ctrl-M, but its key is the plain M.
            const std::string key = item.id == 40074 ? "M" : shown.toStdString();
            EXPECT_TRUE(hasKey(key, item.id)) << item.text;
        }
}

} // namespace
