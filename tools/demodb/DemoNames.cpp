#include "DemoNames.h"

namespace gs::demo {

namespace {

const std::vector<std::string> kMaleFirst = {
    "Jürgen", "Jörg",    "Björn",   "Sören",   "Günther", "Rüdiger", "Thomas",  "Michael", "Andreas", "Stefan",
    "Frank",  "Uwe",     "Klaus",   "Peter",   "Hans",    "Matthias", "Markus", "Jens",    "Dirk",    "Holger",
    "Bernd",  "Karl-Heinz", "Wolfgang", "Jan",  "Lukas",   "Maximilian", "Tobias", "Florian", "Sebastian", "Götz"};
const std::vector<std::string> kFemaleFirst = {
    "Bärbel", "Käthe",   "Jutta",   "Sabine",  "Petra",   "Monika",  "Andrea",  "Claudia", "Susanne", "Birgit",
    "Renate", "Ute",     "Anja",    "Nicole",  "Katrin",  "Stefanie", "Julia",  "Anna",    "Lea",     "Sophie",
    "Marlene", "Hannelore", "Gisela", "Ursula", "Doris",   "Jana",    "Franziska", "Zoë",   "Annegret", "Christa"};
const std::vector<std::string> kLast = {
    "Müller",    "Schmidt",   "Schneider", "Fischer",  "Weber",    "Meyer",    "Wagner",   "Becker",    "Schulz",
    "Hoffmann",  "Schäfer",   "Koch",      "Bauer",    "Richter",  "Klein",    "Wolf",     "Schröder",  "Neumann",
    "Schwarz",   "Zimmermann", "Braun",    "Krüger",   "Hofmann",  "Hartmann", "Lange",    "Schmitt",   "Werner",
    "Schmitz",   "Krause",    "Meier",     "Lehmann",  "Schmid",   "Schulze",  "Maier",    "Köhler",    "Herrmann",
    "König",     "Walter",    "Mayer",     "Huber",    "Kaiser",   "Fuchs",    "Peters",   "Lang",      "Scholz",
    "Möller",    "Weiß",      "Jung",      "Hahn",     "Schubert", "Vogel",    "Friedrich", "Keller",   "Günther",
    "Frank",     "Berger",    "Winkler",   "Roth",     "Beck",     "Lorenz",   "Baumann",  "Franke",    "Albrecht",
    "Schuster",  "Simon",     "Ludwig",    "Böhm",     "Winter",   "Kraus",    "Martin",   "Schumacher", "Krämer",
    "Vogt",      "Stein",     "Jäger",     "Otto",     "Sommer",   "Groß",     "Seidel",   "Heinrich",  "Brandt",
    "Haas",      "Schreiber", "Graf",      "Schulte",  "Dietrich", "Ziegler",  "Kuhn",     "Kühn",      "Pohl",
    "Engel",     "Horn",      "Busch",     "Bergmann", "Voigt",    "Sauer",    "Arnold",   "Wolff",     "Pfeiffer",
    "Rößler",    "Däubler",   "Öztürk",    "Nußbaum",  "Häußler"};
const std::vector<std::string> kBranches = {
    "Metallbau",   "Elektrotechnik", "Haustechnik", "Holzbau",       "Gartenbau",    "Dachdeckerei",
    "Sanitär",     "Bürobedarf",     "Autohaus",    "Bäckerei",      "Getränkehandel", "Maschinenbau",
    "Druckerei",   "Schreinerei",    "Fliesenlegerei", "Malerbetrieb", "Landmaschinen", "Kälte- und Klimatechnik",
    "Steuerberatung", "Logistik",    "Baustoffe",   "Möbelhaus",     "Gerüstbau",    "Fahrzeugteile"};
const std::vector<std::string> kForms = {"GmbH", "GmbH & Co. KG", "KG", "OHG", "AG", "e.K.", "UG (haftungsbeschränkt)",
                                         "GbR"};
const std::vector<std::string> kStreets = {
    "Hauptstraße",  "Bahnhofstraße", "Gartenstraße", "Schulstraße", "Dorfstraße",   "Bergstraße",   "Lindenstraße",
    "Kirchstraße",  "Waldstraße",    "Ringstraße",   "Mühlenweg",   "Am Markt",     "Goethestraße", "Schillerstraße",
    "Friedrichstraße", "Rosenweg",   "Birkenweg",    "Industriestraße", "Gewerbering", "Königsallee", "Grüner Weg",
    "Mühlbachstraße", "Höhenweg",    "Münsterstraße", "Talstraße",  "Am Sägewerk", "Fröbelstraße", "Schloßallee"};
const std::vector<Place> kPlaces = {
    {"50667", "Köln", "", ""},          {"80331", "München", "", ""},       {"40213", "Düsseldorf", "", ""},
    {"90402", "Nürnberg", "", ""},      {"97070", "Würzburg", "", ""},      {"23552", "Lübeck", "", ""},
    {"37073", "Göttingen", "", ""},     {"41061", "Mönchengladbach", "", ""}, {"49074", "Osnabrück", "", ""},
    {"66111", "Saarbrücken", "", ""},   {"72070", "Tübingen", "", ""},      {"90762", "Fürth", "", ""},
    {"33330", "Gütersloh", "", ""},     {"21335", "Lüneburg", "", ""},      {"28195", "Bremen", "", ""},
    {"20095", "Hamburg", "", ""},       {"10115", "Berlin", "", ""},        {"60311", "Frankfurt am Main", "", ""},
    {"70173", "Stuttgart", "", ""},     {"04109", "Leipzig", "", ""},       {"01067", "Dresden", "", ""},
    {"30159", "Hannover", "", ""},      {"48143", "Münster", "", ""},       {"93047", "Regensburg", "", ""},
    {"66482", "Zweibrücken", "", ""},   {"88662", "Überlingen", "", ""},    {"71032", "Böblingen", "", ""},
    {"02826", "Görlitz", "", ""},       {"1010", "Wien", "A-", "ÖSTERREICH"}, {"5020", "Salzburg", "A-", "ÖSTERREICH"},
    {"8001", "Zürich", "CH-", "SCHWEIZ"}, {"39100", "Bozen", "I-", "ITALIEN"}, {"9490", "Vaduz", "LI-", "LIECHTENSTEIN"}};

} // namespace

std::vector<std::string> Customer::addressLines() const
{
    std::vector<std::string> lines;
    if (company) {
        lines.push_back("Firma");
        lines.push_back(companyName);
        lines.push_back("z. Hd. " + std::string(salutation == "Frau" ? "Frau " : "Herrn ") + firstName + " " +
                        lastName);
    } else {
        lines.push_back(salutation);
        lines.push_back(firstName + " " + lastName);
    }
    lines.push_back(street);
    lines.push_back(place.countryCode + place.plz + " " + place.city);
    if (!place.countryName.empty())
        lines.push_back(place.countryName);
    return lines;
}

const std::string& PickFirstName(Random& r) { return r.chance(0.5) ? r.pick(kMaleFirst) : r.pick(kFemaleFirst); }
const std::string& PickLastName(Random& r) { return r.pick(kLast); }
const Place& PickPlace(Random& r)
{
    // Mostly German customers, a few from the neighbouring countries.
    if (r.chance(0.06))
        return kPlaces[static_cast<size_t>(r.between(28, static_cast<long long>(kPlaces.size()) - 1))];
    return kPlaces[static_cast<size_t>(r.between(0, 27))];
}
std::string PickStreet(Random& r) { return r.pick(kStreets) + " " + std::to_string(r.between(1, 180)); }

Customer MakeCustomer(std::uint64_t seed, int id)
{
    Random r = Random::For(seed, 1, static_cast<std::uint64_t>(id));
    Customer c;
    c.id = id;
    c.number = std::to_string(10000 + id);
    c.company = r.chance(0.45);
    const bool female = r.chance(0.5);
    c.salutation = female ? "Frau" : "Herrn";
    c.firstName = female ? r.pick(kFemaleFirst) : r.pick(kMaleFirst);
    c.lastName = r.pick(kLast);
    c.street = PickStreet(r);
    c.place = PickPlace(r);
    if (c.company) {
        const std::string& form = r.pick(kForms);
        switch (r.between(0, 3)) {
        case 0: c.companyName = c.lastName + " " + r.pick(kBranches) + " " + form; break;
        case 1: c.companyName = c.lastName + " & " + r.pick(kLast) + " " + form; break;
        case 2: c.companyName = r.pick(kBranches) + " " + c.lastName + " " + form; break;
        default: c.companyName = c.place.city + "er " + r.pick(kBranches) + " " + form; break;
        }
        c.listName = c.companyName;
    } else {
        c.listName = c.lastName + ", " + c.firstName;
    }
    return c;
}

Customer MakeDeliveryAddress(Random& r, const Customer& customer)
{
    Customer d = customer;
    d.street = PickStreet(r);
    d.place = PickPlace(r);
    if (r.chance(0.5)) {
        d.firstName = PickFirstName(r);
        d.lastName = PickLastName(r);
    }
    return d;
}

const std::vector<Representative>& Representatives()
{
    static const std::vector<Representative> reps = {
        {1, "Thomas Krüger", 2, 5},    {2, "Sabine Wöhler", 2, 3.5}, {3, "Günther Maaß", 3, 15},
        {4, "Jörg Schäfer", 4, 50},    {5, "Bärbel Hönig", 2, 7},    {6, "Mehmet Öztürk", 3, 12.5},
        {7, "Karin Weißenfels", 4, 25}, {8, "Dieter Bräuer", 2, 4}};
    return reps;
}

const std::vector<std::string>& Articles()
{
    static const std::vector<std::string> articles = {
        "Schraube M8x40 verzinkt",  "Kabelkanal 40x60 reinweiß", "Dübel 8 mm (100 Stück)",  "Montagestunde Geselle",
        "Montagestunde Meister",    "Anfahrtspauschale",         "Kupferrohr 15 mm, 5 m",   "Fliesenkleber 25 kg",
        "LED-Panel 60x60 neutralweiß", "Bürostuhl Komfort",      "Druckerpatrone schwarz",  "Holzleiste Fichte 2,5 m",
        "Dachlatte 30x50 imprägniert", "Winkelschleifer 125 mm", "Arbeitshandschuhe Gr. 10", "Wartungsvertrag (Monat)",
        "Beratung (Stunde)",        "Transportkosten",           "Entsorgungspauschale",    "Heizkörperventil DN 15",
        "Steckdose unterputz weiß", "Gipskartonplatte 12,5 mm",  "Wärmedämmung WLG 035",    "Außenfarbe weiß 10 l",
        "Türdrücker Edelstahl",     "Sicherungsautomat B16",     "Kältemittel R32 (kg)",    "Gerüstmiete (Woche)",
        "Baustrahler 50 W",         "Schlüsselfertige Übergabe", "Rasenmähen (m²)",         "Heckenschnitt (Stunde)"};
    return articles;
}

const std::vector<std::string>& Clerks()
{
    static const std::vector<std::string> clerks = {"Büro", "A. Schäfer", "M. Kühn", "S. Löffler", "Verwaltung"};
    return clerks;
}

} // namespace gs::demo
