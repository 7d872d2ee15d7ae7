#include "install/cab_archive.h"

#include <libgcab.h>

#include <memory>

namespace {

template <typename Object> struct Unref {
    void operator()(Object *object) const {
        g_object_unref(object);
    }
};
template <typename Object> using GObjectPtr = std::unique_ptr<Object, Unref<Object>>;

std::string TakeMessage(GError *error, const char *otherwise) {
    if (error == nullptr) {
        return otherwise;
    }
    std::string message = error->message;
    g_error_free(error);
    return message;
}

} // namespace

bool WriteCabinet(const std::string &path, const std::vector<CabMember> &members,
                  std::string &error) {
    GObjectPtr<GCabCabinet> cabinet(gcab_cabinet_new());
    GObjectPtr<GCabFolder> folder(gcab_folder_new(GCAB_COMPRESSION_NONE));
    GError *failure = nullptr;
    for (const CabMember &member : members) {
        GBytes *bytes = g_bytes_new(member.bytes.data(), member.bytes.size());
        GObjectPtr<GCabFile> file(gcab_file_new_with_bytes(member.name.c_str(), bytes));
        g_bytes_unref(bytes);
        if (!gcab_folder_add_file(folder.get(), file.get(), FALSE, nullptr, &failure)) {
            error = TakeMessage(failure, "cannot add a member");
            return false;
        }
    }
    if (!gcab_cabinet_add_folder(cabinet.get(), folder.get(), &failure)) {
        error = TakeMessage(failure, "cannot add the folder");
        return false;
    }
    GObjectPtr<GFile> target(g_file_new_for_path(path.c_str()));
    GObjectPtr<GFileOutputStream> stream(g_file_replace(
        target.get(), nullptr, FALSE, G_FILE_CREATE_REPLACE_DESTINATION, nullptr, &failure));
    if (stream == nullptr) {
        error = TakeMessage(failure, "cannot write the cabinet");
        return false;
    }
    const bool written = gcab_cabinet_write_simple(cabinet.get(), G_OUTPUT_STREAM(stream.get()),
                                                   nullptr, nullptr, nullptr, &failure) &&
                         g_output_stream_close(G_OUTPUT_STREAM(stream.get()), nullptr, &failure);
    if (!written) {
        error = TakeMessage(failure, "cannot write the cabinet");
        return false;
    }
    return true;
}

bool ReadCabinet(const std::string &path, std::vector<CabMember> &members, std::string &error) {
    members.clear();
    GError *failure = nullptr;
    GObjectPtr<GFile> source(g_file_new_for_path(path.c_str()));
    GObjectPtr<GFileInputStream> stream(g_file_read(source.get(), nullptr, &failure));
    if (stream == nullptr) {
        error = TakeMessage(failure, "cannot open the cabinet");
        return false;
    }
    GObjectPtr<GCabCabinet> cabinet(gcab_cabinet_new());
    if (!gcab_cabinet_load(cabinet.get(), G_INPUT_STREAM(stream.get()), nullptr, &failure)) {
        error = TakeMessage(failure, "not a cabinet");
        return false;
    }
    // Extracted into memory: with no folder to write to, libgcab keeps each member's bytes.
    if (!gcab_cabinet_extract(cabinet.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                              &failure)) {
        error = TakeMessage(failure, "a member cannot be read");
        return false;
    }
    GPtrArray *folders = gcab_cabinet_get_folders(cabinet.get());
    for (guint i = 0; i < folders->len; ++i) {
        GSList *files = gcab_folder_get_files(GCAB_FOLDER(g_ptr_array_index(folders, i)));
        for (GSList *node = files; node != nullptr; node = node->next) {
            GCabFile *file = GCAB_FILE(node->data);
            GBytes *bytes = gcab_file_get_bytes(file);
            CabMember member;
            member.name = gcab_file_get_name(file);
            if (bytes != nullptr) {
                gsize size = 0;
                const auto *data = static_cast<const uint8_t *>(g_bytes_get_data(bytes, &size));
                member.bytes.assign(data, data + size);
            }
            members.push_back(std::move(member));
        }
        g_slist_free(files);
    }
    return true;
}
