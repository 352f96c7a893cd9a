#include "fleet/station/stations_by_id.h"

template <typename IdOf>
void StationsById::index(size_t stations, IdOf id_of)
{
    groups.reserve(stations);
    size_t indexed = 0;
    for (size_t i = 0; i < stations; ++i) {
        const std::string_view id = id_of(i);
        if (id.data() != nullptr) {
            ++groups[id].count;
            ++indexed;
        }
    }
    size_t begin = 0;
    for (auto& entry : groups) {
        entry.second.begin = begin;
        begin += entry.second.count;
        entry.second.count = 0;
    }
    places.resize(indexed);
    for (size_t i = 0; i < stations; ++i) {
        const std::string_view id = id_of(i);
        if (id.data() != nullptr) {
            Group& group = groups.find(id)->second;
            places[group.begin + group.count++] = static_cast<int>(i);
        }
    }
}

StationsById::StationsById(const std::vector<TiXmlElement*>& stations, WithoutId without)
{
    index(stations.size(), [&](size_t i) {
        const char* id = xml_get_attr(stations[i], "id");
        return id != nullptr                    ? std::string_view(id)
               : without == WithoutId::left_out ? std::string_view()
                                                : std::string_view("", 0);
    });
}

StationsById::StationsById(const std::vector<std::string>& ids)
{
    index(ids.size(), [&](size_t i) { return std::string_view(ids[i]); });
}

StationsById::Places StationsById::holders(std::string_view id) const
{
    const auto found = groups.find(id);
    return found == groups.end() ? Places(nullptr, 0)
                                 : Places(places.data() + found->second.begin, found->second.count);
}

size_t StationsById::occurrence(std::string_view id, int place) const
{
    const Places shared = holders(id);
    size_t k = 0;
    while (k < shared.size() && shared[k] != place) {
        ++k;
    }
    return k;
}

int StationsById::take_next(std::string_view id)
{
    const auto found = groups.find(id);
    if (found == groups.end() || found->second.taken == found->second.count) {
        return -1;
    }
    Group& group = found->second;
    return places[group.begin + group.taken++];
}
