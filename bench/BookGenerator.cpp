#include "BookGenerator.h"

#include "data/Schema.h"

#include <QFile>
#include <sqlite3.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> firstNames{
    "Aaron",  "Abigail", "Adam",    "Ada",       "Bea",    "Benjamin", "Carla",      "Chen",
    "Daniel", "Dörte",   "Elena",   "Élise",     "Farid",  "Fatima",   "George",     "Greta",
    "Hana",   "Hugo",    "Ingrid",  "Isaac",     "Jakub",  "Julia",    "Kai",        "Katarzyna",
    "Liam",   "Łucja",   "Maria",   "Mohammed",  "Nora",   "Noah",     "Olivia",     "Øyvind",
    "Pablo",  "Priya",   "Quentin", "Rosa",      "Ryo",    "Sofia",    "Søren",      "Tariq",
    "Tereza", "Umar",    "Una",     "Valentina", "Victor", "Wei",      "Wilhelmina", "Xavier",
    "Yara",   "Yusuf",   "Zoë",     "Zane"};
const std::vector<std::string> lastNames{
    "Anderson",  "Álvarez",    "Brown",    "Bergström", "Carter",    "Castillo",  "Davidson",
    "Dąbrowski", "Evans",      "Eriksen",  "Fischer",   "Fernández", "Garcia",    "Gómez",
    "Harrison",  "Hoffmann",   "Ivanova",  "Ishikawa",  "Jackson",   "Jensen",    "Kowalski",
    "Kim",       "Larsen",     "López",    "Morrison",  "Müller",    "Nakamura",  "Nielsen",
    "O'Brien",   "Olsen",      "Petersen", "Patel",     "Quinn",     "Rasmussen", "Rossi",
    "Svensson",  "Schäfer",    "Thompson", "Takahashi", "Underwood", "Ulrich",    "Vasquez",
    "Vogel",     "Williamson", "Wójcik",   "Xu",        "Young",     "Yamamoto",  "Zimmermann",
    "Żukowski",  "Johnson",    "Robinson"};
const std::vector<std::string> streets{"Main Street",    "Oak Avenue", "Königsallee",
                                       "Rue de la Paix", "Elm Road",   "Harbour Lane",
                                       "Calle Mayor",    "Birch Way"};
const std::vector<std::string> cities{"Portland", "München",  "Lyon",        "Kraków",
                                      "Oslo",     "Valencia", "Springfield", "Malmö"};
const std::vector<std::string> states{"OR", "BY", "ARA", "MA", "Oslo", "VC", "IL", "Skåne"};
const std::string commentWords =
    "Met at the spring conference; prefers e-mail over calls. Birthday in March, likes jazz and "
    "long walks. Follow up about the quarterly order and the new catalogue. ";

} // namespace

void generateBook(const QString& databasePath, int count, unsigned seed) {
    QFile::remove(databasePath);
    createContactDatabase(databasePath);
    sqlite3* db = nullptr;
    if (sqlite3_open(databasePath.toUtf8().constData(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot open the new book");
    std::mt19937 random(seed);
    auto pick = [&](const std::vector<std::string>& from) -> const std::string& {
        return from[random() % from.size()];
    };
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into tblContactDetails (FirstName, MiddleName, LastName, Address, "
                       "City, State, ZipCode, WorkPhoneNumber, HomePhoneNumber, CellPhoneNumber, "
                       "EmailAddress, ParentOrGuardianName, Comments, fkContactType, "
                       "fkContactBookId) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,1)",
                       -1, &insert, nullptr);
    for (int i = 0; i < count; ++i) {
        const std::string first = pick(firstNames);
        const std::string last = pick(lastNames) + (random() % 3 == 0 ? "son" : "");
        const std::string middle = random() % 2 ? std::string(1, char('A' + random() % 26)) : "";
        const std::string address =
            std::to_string(1 + random() % 999) + " " + pick(streets) +
            (random() % 3 == 0 ? "\r\nApartment " + std::to_string(1 + random() % 80) : "");
        const std::string phone = "+1 555 " + std::to_string(1000000 + random() % 9000000);
        const std::string comments = commentWords.substr(0, 40 + random() % 140) +
                                     (random() % 4 == 0 ? "\r\n" + commentWords : "");
        const std::string values[13] = {first,
                                        middle,
                                        last,
                                        address,
                                        pick(cities),
                                        pick(states),
                                        std::to_string(10000 + random() % 89999),
                                        phone,
                                        phone + "1",
                                        phone + "2",
                                        first + "." + std::to_string(i) + "@example.org",
                                        random() % 5 == 0 ? pick(firstNames) + " " + last : "",
                                        comments};
        for (int c = 0; c < 13; ++c)
            sqlite3_bind_text(insert, c + 1, values[c].data(), int(values[c].size()),
                              SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 14, 1 + int(random() % 2));
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}
