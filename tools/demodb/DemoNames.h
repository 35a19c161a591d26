#pragma once
// Names, places and texts of the demo data: German customers made from first-name, last-name and
// company-form lists, their addresses, sales representatives and article names.
#include "DemoRandom.h"

#include <string>
#include <vector>

namespace gs::demo {

struct Place {
    std::string plz, city, countryCode, countryName; // countryCode empty for Germany
};

struct Customer {
    int id = 0;               // AdressID
    std::string number;       // KNR
    bool company = false;
    std::string companyName;  // companies only
    std::string salutation;   // "Herrn" / "Frau"
    std::string firstName, lastName;
    std::string street;
    Place place;
    std::string listName;     // AdressName as the host's order list shows it
    // The address block of a document, one line per address line.
    std::vector<std::string> addressLines() const;
};

struct Representative {
    int id;
    std::string name;
    int mode;       // commission mode 2 (% of sales), 3 (% of profit) or 4 (fixed)
    double value;   // percent or fixed amount
};

// The customer with this number, always the same for the same seed.
Customer MakeCustomer(std::uint64_t seed, int id);
// A delivery address other than the customer's own.
Customer MakeDeliveryAddress(Random& r, const Customer& customer);

const std::vector<Representative>& Representatives();
const std::vector<std::string>& Articles();
const std::vector<std::string>& Clerks();
const std::string& PickFirstName(Random& r);
const std::string& PickLastName(Random& r);
const Place& PickPlace(Random& r);
std::string PickStreet(Random& r);

} // namespace gs::demo
