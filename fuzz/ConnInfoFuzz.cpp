// Connection strings of the database server (the database path on the host's command line): any
// text is told a connection string or not without a crash, and the password never appears in what
// the module shows of it, neither in the shown string nor in libpq's own message about it. The byte
// 0x01 in the input stands for a password no other part of the string holds; where libpq reads a
// password holding it, neither the shown form nor the scrubbed message may contain it.
#include "db/PgConnInfo.h"

#include <libpq-fe.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* kSecret = "Gh3imW0rt";

std::string Expanded(const uint8_t* data, size_t size)
{
    std::string s;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0x01)
            s += kSecret;
        else if (data[i] != 0) // libpq takes a C string
            s += static_cast<char>(data[i]);
    }
    return s;
}

bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    const std::string connection = Expanded(data, size);
    const bool isConnection = gs::ads::IsConnectionString(connection);
    const std::string shown = gs::ads::WithoutPassword(connection);

    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(connection.c_str(), &error);
    std::string password;
    bool secretElsewhere = false;
    for (PQconninfoOption* o = options; o && o->keyword; ++o) {
        if (!o->val)
            continue;
        if (std::string(o->keyword) == "password")
            password = o->val;
        else if (Holds(o->val, kSecret))
            secretElsewhere = true;
    }
    if (isConnection && !secretElsewhere && Holds(password, kSecret)) {
        if (Holds(shown, kSecret))
            std::abort(); // the shown connection carries the password
        const std::string message = "Verbindung nicht möglich: " + shown + ": " +
                                    gs::ads::ScrubPassword("ungültig: " + connection, connection);
        if (Holds(message, kSecret))
            std::abort();
    }
    if (error) {
        (void)gs::ads::ScrubPassword(error, connection); // libpq's message about a malformed string
        PQfreemem(error);
    }
    PQconninfoFree(options);
    return 0;
}
