#include "orders/DefaultPatterns.h"

#include "orders/OrdersTable.h"

#include <stdexcept>
#include <string>

namespace gs {

DefaultPatterns::DefaultPatterns(TDateTime startDate, const TSettings* settings) : settings_(settings)
{
    for (int type = 1; type <= DocTypeCount; ++type) {
        auto p = std::make_unique<TMPattern>();
        p->InfoFields.Clear();
        p->DocType = static_cast<std::uint8_t>(type);
        p->DocTypeName = DocTypeName(type);
        p->PrintName = p->DocTypeName;
        const DocTypeSwitches& s = DocTypeDefaults(type);
        p->DataGrid = s.DataGrid;
        p->InfoSumme = s.InfoSumme;
        p->Summe = s.Summe;
        p->Header = s.Header;
        p->Footer = s.Footer;
        p->Endt = s.Endt;
        p->ZZ = s.ZZ;
        p->Enabled = s.Enabled;
        p->DataGrid_DM = s.DataGrid_DM;
        p->data_netto = s.data_netto;
        p->Date = startDate;
        p->Adress.clear();
        p->ID = -1;
        p->ID_ORDER = -1;
        p->AdressID = -1;
        p->Adressname.clear();
        p->Status = 3;
        p->FromDate = 0;
        p->FromText.clear();
        p->KNR.clear();
        patterns_[static_cast<size_t>(type - 1)] = std::move(p);
    }
}

const TMPattern& DefaultPatterns::operator[](int docType) const
{
    if (docType < 1 || docType > DocTypeCount)
        throw std::out_of_range("Kein Standardmuster für Dokumenttyp " + std::to_string(docType));
    return *patterns_[static_cast<size_t>(docType - 1)];
}

const TMPattern& DefaultPatterns::ForDocType(long long docType) const
{
    return (docType >= 1 && docType <= DocTypeCount) ? *patterns_[static_cast<size_t>(docType - 1)] : *patterns_[0];
}

} // namespace gs
