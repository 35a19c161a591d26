#include "widgets/support/StartDatabase.h"

#include "db/AdsConnection.h"
#include "db/AdsTable.h"

namespace gs::test {

void CreateStartDatabase(const std::filesystem::path& dir)
{
    std::filesystem::create_directories(dir);
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_LOCAL});
    conn.SetConnectPath(dir.string());
    conn.Connect();
    TAdsTable orders(&conn, "Auftraege.ADT");
    orders.CreateTable({{"ID_ORDER", TAdsFieldType::Integer},
                        {"POT", TAdsFieldType::Integer},
                        {"STATUS", TAdsFieldType::Integer},
                        {"DATE", TAdsFieldType::Date},
                        {"WW_NETTO", TAdsFieldType::Double}},
                       {{"DATE", "DATE", ADS_DESCENDING}});
    TAdsTable settings(&conn, "setup.ADT");
    settings.CreateTable({{"ID", TAdsFieldType::AutoInc},
                          {"Ident", TAdsFieldType::Integer},
                          {"MemoItem", TAdsFieldType::Memo},
                          {"stringItem", TAdsFieldType::Char, 100},
                          {"logo", TAdsFieldType::Binary}},
                         {{"IDENT", "Ident", 0}});
}

} // namespace gs::test
