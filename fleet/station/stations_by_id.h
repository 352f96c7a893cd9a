// The stations of a list by id, for every command that finds a station by
// the id a row, a file or the command line gives. Ids may be shared: each
// id's stations stay in list order, and the k-th of them is the one the
// k-th row of that id (in a sheet made by hand) or the k-th station of that
// id in another file stands for.
#ifndef ZANTOR_FLEET_STATION_STATIONS_BY_ID_H
#define ZANTOR_FLEET_STATION_STATIONS_BY_ID_H

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "doc/Lib_xml.h"

class StationsById {
public:
    // The places in the list (from 0) of the stations of one id, in list
    // order.
    class Places {
    public:
        Places(const int* first, size_t count) : first_(first), count_(count) {}
        const int* begin() const { return first_; }
        const int* end() const { return first_ + count_; }
        size_t size() const { return count_; }
        bool empty() const { return count_ == 0; }
        int operator[](size_t k) const { return first_[k]; }

    private:
        const int* first_;
        size_t count_;
    };

    // What becomes of a station without an id attribute.
    enum class WithoutId {
        held_as_empty,  // it holds the id "", as a row or a line names it
        left_out,       // it holds no id, not even ""
    };
    // By the stored id, as the document holds it. The document outlives the
    // index.
    explicit StationsById(const std::vector<TiXmlElement*>& stations, WithoutId without = WithoutId::held_as_empty);
    // By `ids`, one a station in list order, which outlive the index.
    explicit StationsById(const std::vector<std::string>& ids);

    Places holders(std::string_view id) const;
    bool holds(std::string_view id) const { return groups.count(id) > 0; }

    // Which of the stations of its id the one at `place` is, from 0.
    size_t occurrence(std::string_view id, int place) const;

    // The next station of the id that no call gave yet, in list order: the
    // k-th call for an id gives its k-th station. -1 once all are given, or
    // when no station holds the id.
    int take_next(std::string_view id);

private:
    struct Group {
        size_t begin = 0;
        size_t count = 0;
        size_t taken = 0;
    };
    // `id_of` gives a station's id, or a view of no data for a station
    // left out.
    template <typename IdOf>
    void index(size_t stations, IdOf id_of);

    // One entry an id and one vector of places in all: a fleet of 10,000
    // stations costs no allocation a station.
    std::unordered_map<std::string_view, Group> groups;
    std::vector<int> places;
};

#endif
