#include "WorkerEvent.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <utility>

namespace lse::web {

namespace {

using Kind = WorkerEvent::Kind;
using nlohmann::json;

constexpr std::array<std::pair<Kind, std::string_view>, 7> kKindNames{{
    {Kind::progress, "progress"},
    {Kind::done, "done"},
    {Kind::refused, "refused"},
    {Kind::failed, "failed"},
    {Kind::outOfMemory, "outOfMemory"},
    {Kind::unreadable, "unreadable"},
    {Kind::cancelled, "cancelled"},
}};

// A count as the scripts may write it: a number, or a boolean or null as JavaScript would
// take it in arithmetic; anything else leaves `out` as it was.
template <class T> void readCount(const json& event, const char* name, T& out) {
    const auto field = event.find(name);
    if (field == event.end())
        return;
    if (field->is_number())
        out = static_cast<T>(field->get<double>());
    else if (field->is_boolean())
        out = static_cast<T>(field->get<bool>() ? 1 : 0);
    else if (field->is_null())
        out = 0;
}

} // namespace

std::string toJson(const WorkerEvent& event) {
    json out = {{"text", event.text},
                {"bytes", event.bytes},
                {"n", event.n},
                {"hasB", event.hasB},
                {"recordBytes", event.recordBytes},
                {"textBytes", event.textBytes},
                {"flags", event.flags},
                {"summedCount", event.summedCount},
                {"summedRow", event.summedRow},
                {"summedColumn", event.summedColumn}};
    for (const auto& [each, name] : kKindNames)
        if (each == event.kind)
            out["kind"] = name;
    if (!event.arrays.empty()) {
        json& arrays = out["arrays"] = json::array();
        for (const auto& [at, bytes] : event.arrays)
            arrays.push_back({reinterpret_cast<std::uintptr_t>(at), bytes});
    }
    // A byte that is no UTF-8 shows as U+FFFD, as the page would decode it.
    return out.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::optional<WorkerEvent> workerEventFromJson(std::string_view text) {
    const json event = json::parse(text, nullptr, false);
    if (!event.is_object())
        return std::nullopt;
    WorkerEvent read;
    const auto kind = event.find("kind");
    if (kind == event.end() || !kind->is_string())
        return std::nullopt;
    bool known = false;
    for (const auto& [each, name] : kKindNames)
        if (name == kind->get_ref<const std::string&>()) {
            read.kind = each;
            known = true;
        }
    if (!known)
        return std::nullopt;
    if (const auto said = event.find("text"); said != event.end() && said->is_string())
        read.text = said->get<std::string>();
    readCount(event, "bytes", read.bytes);
    readCount(event, "n", read.n);
    readCount(event, "hasB", read.hasB);
    readCount(event, "recordBytes", read.recordBytes);
    readCount(event, "textBytes", read.textBytes);
    readCount(event, "flags", read.flags);
    readCount(event, "summedCount", read.summedCount);
    readCount(event, "summedRow", read.summedRow);
    readCount(event, "summedColumn", read.summedColumn);
    return read;
}

} // namespace lse::web
