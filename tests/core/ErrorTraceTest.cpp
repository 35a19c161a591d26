// The guards of base/Error.h: only ordinary errors are swallowed or handled, every other error
// passes; a swallowed error reaches the innermost trace scope and, when asked for, standard error.
#include "base/Error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <string>

using namespace gs;

namespace {

// Sets GS_ERROR_TRACE for one test and restores what was there.
class EchoVariable {
public:
    explicit EchoVariable(const char* value)
    {
        if (const char* old = std::getenv(kName))
            old_ = old;
        if (value)
            setenv(kName, value, 1);
        else
            unsetenv(kName);
    }
    ~EchoVariable()
    {
        if (old_)
            setenv(kName, old_->c_str(), 1);
        else
            unsetenv(kName);
    }

private:
    static constexpr const char* kName = "GS_ERROR_TRACE";
    std::optional<std::string> old_;
};

} // namespace

TEST(Guarded, SwallowsOrdinaryErrorsIntoTheCurrentTrace)
{
    EchoVariable quiet(nullptr);
    ErrorTrace trace;
    ErrorTraceScope scope(trace);
    int reached = 0;
    EXPECT_TRUE(Guarded("ok", [&] { reached = 1; }));
    EXPECT_FALSE(Guarded({"setup.ADT item ", 1511}, [&] {
        reached = 2;
        throw Error("Strom kaputt");
        reached = 3;
    }));
    EXPECT_FALSE(Guarded("Endtext", [] { throw std::out_of_range("zu kurz"); }));
    EXPECT_EQ(reached, 2); // the body ran up to the error, its values stay
    EXPECT_EQ(trace.Entries(),
              (std::vector<TracedError>{{"setup.ADT item 1511", "Strom kaputt"}, {"Endtext", "zu kurz"}}));
    EXPECT_EQ(trace.Text(), "setup.ADT item 1511: Strom kaputt\nEndtext: zu kurz\n");
}

TEST(Guarded, ErrorsThatAreNotOrdinaryPassAndLeaveNoTrace)
{
    ErrorTrace trace;
    ErrorTraceScope scope(trace);
    EXPECT_THROW(Guarded("x", [] { throw std::bad_alloc(); }), std::bad_alloc);
    EXPECT_THROW(Guarded("x", [] { throw 42; }), int);
    EXPECT_THROW(HandleOrdinaryError([]() -> int { throw std::bad_alloc(); }, [](const std::exception&) { return 0; }),
                 std::bad_alloc);
    EXPECT_TRUE(trace.Empty());
}

TEST(Guarded, HandleOrdinaryErrorGivesTheBodyOrTheHandlerResult)
{
    ErrorTrace trace;
    ErrorTraceScope scope(trace);
    const auto handler = [](const std::exception& e) { return std::string("Fehler: ") + e.what(); };
    EXPECT_EQ(HandleOrdinaryError([] { return std::string("gut"); }, handler), "gut");
    EXPECT_EQ(HandleOrdinaryError([]() -> std::string { throw Error("kaputt"); }, handler), "Fehler: kaputt");
    // An error the handler raises passes (the pattern load turns any failure into its own error).
    EXPECT_THROW(HandleOrdinaryError([] { throw std::runtime_error("a"); },
                                     [](const std::exception&) -> void { throw Error("b"); }),
                 Error);
    EXPECT_TRUE(trace.Empty()); // the handler reports; nothing is swallowed
}

TEST(Guarded, ScopesNestAndOnlyTheInnermostRecords)
{
    EchoVariable quiet(nullptr);
    ErrorTrace outer, inner;
    {
        ErrorTraceScope a(outer);
        {
            ErrorTraceScope b(inner);
            Guarded("innen", [] { throw Error("1"); });
        }
        Guarded("außen", [] { throw Error("2"); });
    }
    Guarded("ohne Spur", [] { throw Error("3"); }); // no scope: dropped silently
    ASSERT_EQ(inner.Entries().size(), 1u);
    EXPECT_EQ(inner.Entries()[0].where, "innen");
    ASSERT_EQ(outer.Entries().size(), 1u);
    EXPECT_EQ(outer.Entries()[0].where, "außen");
}

TEST(Guarded, ATraceKeepsItsCapacityAndCountsTheRest)
{
    EchoVariable quiet(nullptr);
    ErrorTrace trace;
    ErrorTraceScope scope(trace);
    for (size_t i = 0; i < ErrorTrace::Capacity + 5; ++i)
        Guarded({"row ", static_cast<long long>(i)}, [] { throw Error("kaputt"); });
    EXPECT_EQ(trace.Entries().size(), ErrorTrace::Capacity);
    EXPECT_EQ(trace.Dropped(), 5u);
    EXPECT_EQ(trace.Entries().back().where, "row " + std::to_string(ErrorTrace::Capacity - 1));
    EXPECT_NE(trace.Text().find("(5 more not kept)\n"), std::string::npos);
    trace.Clear();
    EXPECT_TRUE(trace.Empty());
}

TEST(Guarded, StandardErrorOnlyWhenTheVariableAsksForIt)
{
    struct Case {
        const char* value;
        bool echoed;
    };
    for (const Case& c : {Case{nullptr, false}, Case{"", false}, Case{"0", false}, Case{"1", true}}) {
        EchoVariable variable(c.value);
        testing::internal::CaptureStderr();
        Guarded({"setup.ADT item ", 754}, [] { throw Error("kein Strom"); });
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err, c.echoed ? "Gewinn-Statistik: swallowed error at setup.ADT item 754: kein Strom\n" : "")
            << (c.value ? c.value : "(unset)");
    }
}

TEST(SystemErrorText, NamesKnownCausesInGermanWithTheSystemsTextAfterThem)
{
    struct Case {
        int error;
        const char* german;
    };
    for (const Case& c : {Case{ENOENT, "Datei oder Ordner nicht gefunden ("}, Case{EACCES, "Keine Berechtigung ("},
                          Case{ENOSPC, "Kein Speicherplatz auf dem Gerät ("}, Case{EISDIR, "Ist ein Ordner ("}}) {
        const std::string text = gs::SystemErrorText(c.error);
        EXPECT_EQ(text.rfind(c.german, 0), 0u) << text;
        EXPECT_NE(text.find(std::strerror(c.error)), std::string::npos) << text;
    }
    EXPECT_EQ(gs::SystemErrorText(0), "unbekannter Fehler") << "never \"Success\" as a cause";
    EXPECT_EQ(gs::SystemErrorText(EHOSTDOWN), std::strerror(EHOSTDOWN)) << "an unknown cause as the system says it";
}
