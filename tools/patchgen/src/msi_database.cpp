#include "msi_database.h"

#include <gsf/gsf.h>
#include <libmsi.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace patchgen {

const char* const kSummaryStreamName = "\005SummaryInformation";

namespace {

// More than the summary information has properties: libmsi sizes its table by this count.
constexpr unsigned kSummaryUpdateCount = 20;

[[noreturn]] void Fail(const std::string& what, GError* error) {
    std::string message = what;
    if (error) {
        message += ": ";
        message += error->message;
        g_error_free(error);
    }
    throw std::runtime_error(message);
}

template <typename T>
struct GObjectDeleter {
    void operator()(T* p) const {
        if (p) g_object_unref(p);
    }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectDeleter<T>>;

// A temporary file that is removed when it goes out of scope.
class TempFile {
public:
    TempFile() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/patchgen-XXXXXX";
        const int fd = mkstemp(path_.data());
        if (fd < 0) throw std::runtime_error("cannot create a temporary file in " + path_);
        close(fd);
        unlink(path_.c_str());  // libmsi creates it afresh
    }
    ~TempFile() { unlink(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void Execute(LibmsiDatabase* db, const Statement& st) {
    GError* error = nullptr;
    GPtr<LibmsiQuery> query(libmsi_query_new(db, st.sql.c_str(), &error));
    if (!query) Fail("libmsi cannot prepare '" + st.sql + "'", error);
    GPtr<LibmsiRecord> record;
    if (!st.parameters.empty()) {
        record.reset(libmsi_record_new(static_cast<guint>(st.parameters.size())));
        for (std::size_t i = 0; i < st.parameters.size(); ++i)
            if (!st.parameters[i].empty())
                libmsi_record_set_string(record.get(), static_cast<guint>(i + 1), st.parameters[i].c_str());
    }
    if (!libmsi_query_execute(query.get(), record.get(), &error)) Fail("libmsi cannot run '" + st.sql + "'", error);
    libmsi_query_close(query.get(), nullptr);
}

void WriteSummary(LibmsiDatabase* db, const std::vector<SummaryProperty>& summary) {
    GError* error = nullptr;
    GPtr<LibmsiSummaryInfo> si(libmsi_summary_info_new(db, kSummaryUpdateCount, &error));
    if (!si) Fail("libmsi cannot make summary information", error);
    for (const SummaryProperty& p : summary) {
        const auto prop = static_cast<LibmsiProperty>(p.id);
        gboolean ok = FALSE;
        if (const auto* i = std::get_if<std::int32_t>(&p.value))
            ok = libmsi_summary_info_set_int(si.get(), prop, *i, &error);
        else if (const auto* s = std::get_if<std::string>(&p.value))
            ok = libmsi_summary_info_set_string(si.get(), prop, s->c_str(), &error);
        else
            ok = libmsi_summary_info_set_filetime(si.get(), prop, std::get<FileTime>(p.value).ticks, &error);
        if (!ok) Fail("libmsi refuses summary property " + std::to_string(p.id), error);
    }
    if (!libmsi_summary_info_persist(si.get(), &error)) Fail("libmsi cannot store summary information", error);
}

std::vector<NamedStream> ReadRootStreams(const std::string& path) {
    GError* error = nullptr;
    GPtr<GsfInput> file(gsf_input_stdio_new(path.c_str(), &error));
    if (!file) Fail("cannot read " + path, error);
    GPtr<GsfInfile> root(gsf_infile_msole_new(file.get(), &error));
    if (!root) Fail(path + " is not a compound file", error);
    std::vector<NamedStream> streams;
    const int count = gsf_infile_num_children(root.get());
    for (int i = 0; i < count; ++i) {
        GPtr<GsfInput> child(gsf_infile_child_by_index(root.get(), i));
        const char* name = gsf_infile_name_by_index(root.get(), i);
        if (!child || !name) Fail(path + ": unreadable entry " + std::to_string(i), nullptr);
        if (GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) >= 0)
            Fail(path + ": unexpected storage " + name, nullptr);
        const gsf_off_t size = gsf_input_size(child.get());
        NamedStream s{name, Bytes(static_cast<std::size_t>(size))};
        if (size > 0 && !gsf_input_read(child.get(), static_cast<size_t>(size), s.data.data()))
            Fail(path + ": cannot read stream " + std::to_string(i), nullptr);
        streams.push_back(std::move(s));
    }
    std::sort(streams.begin(), streams.end(), [](const NamedStream& a, const NamedStream& b) { return a.name < b.name; });
    return streams;
}

}  // namespace

std::vector<NamedStream> BuildDatabaseStreams(const std::vector<Statement>& statements,
                                              const std::vector<SummaryProperty>& summary) {
    TempFile temp;
    {
        GError* error = nullptr;
        GPtr<LibmsiDatabase> db(libmsi_database_new(temp.Path().c_str(), LIBMSI_DB_FLAGS_CREATE, nullptr, &error));
        if (!db) Fail("libmsi cannot create " + temp.Path(), error);
        for (const Statement& st : statements) Execute(db.get(), st);
        WriteSummary(db.get(), summary);
        if (!libmsi_database_commit(db.get(), &error)) Fail("libmsi cannot write " + temp.Path(), error);
    }
    return ReadRootStreams(temp.Path());
}

}  // namespace patchgen
