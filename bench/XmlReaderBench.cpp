// XML reader throughput on a large generated document, read from a loose file and from a
// data archive.
#include "base/PakFile.h"
#include "base/PakInterface.h"
#include "base/PakWriter.h"
#include "base/StringUtils.h"
#include "base/XMLParser.h"
#include "platform/files/Files.h"

#include <benchmark/benchmark.h>

#include <filesystem>

#ifdef KAVO_BENCH_HAVE_EXPAT
#include <expat.h>
#endif

namespace
{

// About 4 MB of rules-file-like XML: sections of keys with attributes, some text and comments.
std::string MakeDocument()
{
    std::string doc = "<?xml version=\"1.0\"?>\n<bench>\n";
    for (int section = 0; doc.size() < 4 * 1024 * 1024; ++section)
    {
        doc += Kavo::StrFormat("  <level_%d>\n    <!-- section %d -->\n", section % 40 + 1, section);
        for (int key = 0; key < 12; ++key)
            doc += Kavo::StrFormat("    <nKey%d value=\"%d\" type=\"prColor%d\"/>\n", key, section * key,
                                   key % 10 + 1);
        doc +=
            "    <sStory>Some &quot;story&quot; text   spread over\n      two lines &amp; more.</sStory>\n";
        doc += Kavo::StrFormat("  </level_%d>\n", section % 40 + 1);
    }
    return doc + "</bench>\n";
}

struct Fixture
{
    std::string folder;
    std::string loose;
    std::string archive;
    size_t bytes = 0;

    Fixture()
    {
        folder = (std::filesystem::temp_directory_path() / "kavo-xml-bench").string() + "/";
        std::filesystem::create_directories(folder);
        std::string doc = MakeDocument();
        bytes = doc.size();
        loose = folder + "doc.xml";
        archive = folder + "doc.pak";
        platform::WriteFileAtomically(loose, doc);
        Kavo::PakWriter writer;
        writer.AddFile("bench\\doc.xml", doc);
        writer.WriteFile(archive);
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& GetFixture()
{
    static Fixture fixture;
    return fixture;
}

void ParseAll(benchmark::State& state, const std::string& name)
{
    int64_t elements = 0;
    for (auto _ : state)
    {
        Kavo::XMLParser parser;
        if (!parser.OpenFile(name))
        {
            state.SkipWithError("cannot open the document");
            return;
        }
        Kavo::XMLElement element;
        while (parser.NextElement(element))
            ++elements;
        if (parser.HasFailed())
        {
            state.SkipWithError(parser.GetErrorText().c_str());
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(GetFixture().bytes));
    state.counters["elements"] = benchmark::Counter(double(elements), benchmark::Counter::kIsRate);
}

void BM_XmlReaderFromDisk(benchmark::State& state)
{
    Kavo::PakInterface empty; // no archive: every name comes from the disk
    Kavo::PakInterfaceBase* previous = Kavo::SetPakInterfacePointer(&empty);
    ParseAll(state, GetFixture().loose);
    Kavo::SetPakInterfacePointer(previous);
}
BENCHMARK(BM_XmlReaderFromDisk)->Unit(benchmark::kMillisecond);

// The fixture's archive in use for as long as it lives; skips the benchmark when it cannot load.
class ArchiveInUse
{
public:
    explicit ArchiveInUse(benchmark::State& state)
    {
        mLoaded = mArchive.LoadPakIndex(GetFixture().archive);
        if (!mLoaded) state.SkipWithError("cannot load the archive");
        mPrevious = Kavo::SetPakInterfacePointer(&mArchive);
    }
    ~ArchiveInUse() { Kavo::SetPakInterfacePointer(mPrevious); }
    ArchiveInUse(const ArchiveInUse&) = delete;
    ArchiveInUse& operator=(const ArchiveInUse&) = delete;
    bool Loaded() const { return mLoaded; }

private:
    Kavo::PakInterface mArchive;
    Kavo::PakInterfaceBase* mPrevious = nullptr;
    bool mLoaded = false;
};

void BM_XmlReaderFromArchive(benchmark::State& state)
{
    ArchiveInUse archive(state);
    if (archive.Loaded()) ParseAll(state, "bench/doc.xml");
}
BENCHMARK(BM_XmlReaderFromArchive)->Unit(benchmark::kMillisecond);

#ifdef KAVO_BENCH_HAVE_EXPAT

// The same document read from the same archive in 64 KiB pieces and handed to expat, counting
// start tags, end tags and text runs as our reader returns them.
void BM_ExpatFromArchive(benchmark::State& state)
{
    ArchiveInUse archive(state);
    if (!archive.Loaded()) return;
    int64_t elements = 0;
    for (auto _ : state)
    {
        XML_Parser parser = XML_ParserCreate(nullptr);
        XML_SetUserData(parser, &elements);
        XML_SetElementHandler(
            parser, [](void* count, const XML_Char*, const XML_Char**) { ++*static_cast<int64_t*>(count); },
            [](void* count, const XML_Char*) { ++*static_cast<int64_t*>(count); });
        XML_SetCharacterDataHandler(parser, [](void* count, const XML_Char*, int)
                                    { ++*static_cast<int64_t*>(count); });
        Kavo::PakFileHandle* file = Kavo::PakFOpen("bench/doc.xml", "rb");
        bool ok = file != nullptr;
        for (;;)
        {
            void* buffer = XML_GetBuffer(parser, 65536);
            size_t n = ok ? Kavo::PakFRead(buffer, 1, 65536, file) : 0;
            if (XML_ParseBuffer(parser, int(n), n == 0) != XML_STATUS_OK) ok = false;
            if (n == 0 || !ok) break;
        }
        if (file) Kavo::PakFClose(file);
        XML_ParserFree(parser);
        if (!ok)
        {
            state.SkipWithError("expat failed");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(GetFixture().bytes));
    state.counters["elements"] = benchmark::Counter(double(elements), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExpatFromArchive)->Unit(benchmark::kMillisecond);

#endif

} // namespace
