#include "installer/ppm_model.h"

#include <cstring>

const OrderConfig kOrderConfig[kPpmOrderCount] = {
    {0, 0, 0, 0, 0, 0, kOrderZeroRescaleLimit},
    {208, 16383, 256, 100, 0, 0, 2047},
    {2560, 12544, 32768, 100, 1, 1, 2047},
    {53247, 40954, 65536, 100, 2, 2, 2047},
    {0, 0, 0, 100, 3, 2, 2047},
    {143356, 106493, 262144, 150, 3, 3, 4095},
    {0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0},
};

namespace {

bool RecordPoolEmpty(const OrderState& s, int order) {
    return s.freeRecords == nullptr && s.unusedRecords >= kOrderConfig[order].records;
}

bool NodePoolEmpty(const OrderState& s, int order) {
    return s.freeNodes == nullptr && s.unusedNodes >= kOrderConfig[order].nodes;
}

ContextRecord* TakeRecord(OrderState& s) {
    ContextRecord* r = s.freeRecords;
    if (r != nullptr) {
        s.freeRecords = r->next;
    } else {
        r = &s.records[s.unusedRecords++];
    }
    r->next = nullptr;
    r->first.next = nullptr;
    r->distinct = 0;
    return r;
}

SymbolNode* TakeNode(OrderState& s) {
    SymbolNode* n = s.freeNodes;
    if (n != nullptr) {
        s.freeNodes = n->next;
    } else {
        n = &s.nodes[s.unusedNodes++];
    }
    return n;
}

// One reclamation pass over the slots of one parity: old contexts (age 0)
// go back to the pools with their extra nodes, the others age by halving.
void ReclamationPass(PpmModel& model, int order) {
    OrderState& s = model.orders[order];
    const int slots = kOrderConfig[order].slots;
    for (int i = s.phase; i < slots; i += 2) {
        ContextRecord** link = &s.slots[i];
        while (ContextRecord* r = *link) {
            if (r->age > 0) {
                r->age >>= 1;
                link = &r->next;
                continue;
            }
            *link = r->next;
            r->total = 0;
            SymbolNode* n = r->first.next;
            while (n != nullptr) {
                SymbolNode* following = n->next;
                n->next = s.freeNodes;
                s.freeNodes = n;
                n = following;
            }
            r->first.next = nullptr;
            r->next = s.freeRecords;
            s.freeRecords = r;
        }
    }
    s.phase ^= 1;
    ++s.reclamationPasses;
}

uint32_t Slot(const uint8_t* h, int order) {
    const uint32_t h0 = h[0], h1 = h[1], h2 = h[2], h3 = h[3], h4 = h[4];
    switch (order) {
        case 2:
            return ((((h0 << 4) ^ h0) << 3) ^ h1) ^ h0;
        case 3:
            return ((((h2 ^ h0) << 4) ^ h1) << 4) ^ h0;
        case 5:
            return ((((((((h1 ^ h0) << 3) ^ h2 ^ h4) << 4) ^ h3 ^ h0) << 3) ^ h4) ^ h0);
        default:
            return h0;
    }
}

}  // namespace

void PpmModelInit(PpmModel& model) {
    for (int o = 0; o < kPpmOrderCount; ++o) {
        const OrderConfig& c = kOrderConfig[o];
        OrderState& s = model.orders[o];
        s.records.reset(c.records > 0 ? new ContextRecord[c.records] : nullptr);
        s.nodes.reset(c.nodes > 0 ? new SymbolNode[c.nodes] : nullptr);
        s.slots.reset(c.slots > 0 ? new ContextRecord*[c.slots]() : nullptr);
        s.freeRecords = nullptr;
        s.unusedRecords = 0;
        s.freeNodes = nullptr;
        s.unusedNodes = 0;
        s.phase = 0;
        s.reclamationPasses = 0;
    }
    for (int i = 0; i < 256; ++i) {
        model.zero.value[i] = static_cast<uint8_t>(i);
        model.zero.position[i] = static_cast<uint8_t>(i);
        model.zero.frequency[i] = 0;
        model.novel.novel[i] = true;
        model.stamp[i] = -1;
    }
    model.zero.escape = kOrderZeroStartEscape;
    model.zero.sum = 0;
    model.novel.count = 256;
    model.byteNumber = 0;
    model.excluded = false;
    const uint8_t start[5] = {1, 2, 4, 8, 16};
    std::memcpy(model.history, start, sizeof start);
    model.updateCount = 0;
    model.currentOrder = kPpmHighestOrder;
}

long PpmMemoryMegabytes() {
    long bytes = 0;
    for (const OrderConfig& c : kOrderConfig) {
        bytes += 7L * c.nodes + 22L * c.records + 4L * c.slots;
    }
    return bytes / 1000000 + 1;
}

PpmStats PpmModelStats(const PpmModel& model) {
    PpmStats stats{};
    for (int o = 0; o < kPpmOrderCount; ++o) {
        stats.reclamationPasses[o] = model.orders[o].reclamationPasses;
    }
    stats.finalOrderZeroEscape = model.zero.escape;
    return stats;
}

ContextRecord* PpmSearch(PpmModel& model, int order) {
    int o = order;
    const int searches = kOrderConfig[order].searches;
    for (int i = 0; i < searches; ++i) {
        OrderState& s = model.orders[o];
        ContextRecord** head = &s.slots[Slot(model.history, o)];
        ContextRecord* previous = nullptr;
        for (ContextRecord* r = *head; r != nullptr; previous = r, r = r->next) {
            if (std::memcmp(r->context, model.history, o) == 0) {
                if (previous != nullptr) {
                    previous->next = r->next;
                    r->next = *head;
                    *head = r;
                }
                model.currentOrder = o;
                return r;
            }
        }
        while (RecordPoolEmpty(s, o)) {
            ReclamationPass(model, o);
        }
        ContextRecord* r = TakeRecord(s);
        // The tail is looked up after reclamation, which may have freed the old tail.
        ContextRecord** tail = head;
        while (*tail != nullptr) {
            tail = &(*tail)->next;
        }
        *tail = r;
        std::memcpy(r->context, model.history, o);
        r->age = 0;
        r->total = 0;
        PpmAddUpdate(model, UpdateKind::kNew, o, r, nullptr);
        o = kOrderConfig[o].nextLower;
    }
    if (o == 1) {
        OrderState& s = model.orders[1];
        // Runs even when the context needed exists, as the encoder does.
        while (RecordPoolEmpty(s, 1)) {
            ReclamationPass(model, 1);
        }
        ContextRecord*& slot = s.slots[model.history[0]];
        if (slot != nullptr) {
            model.currentOrder = 1;
            return slot;
        }
        ContextRecord* r = TakeRecord(s);
        slot = r;
        r->context[0] = model.history[0];
        r->age = 0;
        r->total = 0;
        PpmAddUpdate(model, UpdateKind::kNew, 1, r, nullptr);
        model.currentOrder = 0;
        return nullptr;
    }
    model.currentOrder = 0;
    return nullptr;
}

void PpmUpdateContexts(PpmModel& model, uint8_t b) {
    for (int i = 0; i < model.updateCount; ++i) {
        const UpdateEntry& e = model.updates[i];
        const OrderConfig& c = kOrderConfig[e.order];
        ContextRecord* r = e.record;
        switch (e.kind) {
            case UpdateKind::kFound: {
                if (r->total >= c.rescaleLimit) {
                    int total = 0;
                    for (SymbolNode* n = &r->first; n != nullptr; n = n->next) {
                        n->frequency = static_cast<uint16_t>(n->frequency - (n->frequency >> 1));
                        total += n->frequency;
                    }
                    r->total = static_cast<int16_t>(total);
                }
                r->total = static_cast<int16_t>(r->total + 2);
                e.node->frequency = static_cast<uint16_t>(e.node->frequency + 2);
                if (r->age < c.ageLimit) {
                    r->age = static_cast<uint8_t>(r->age + 16);
                }
                break;
            }
            case UpdateKind::kNew:
                r->total = 1;
                r->first = SymbolNode{b, 1, nullptr};
                r->distinct = 1;
                break;
            case UpdateKind::kEscaped: {
                OrderState& s = model.orders[e.order];
                if (NodePoolEmpty(s, e.order)) {
                    // The pass may free this very context; the byte is dropped.
                    while (NodePoolEmpty(s, e.order)) {
                        ReclamationPass(model, e.order);
                    }
                    break;
                }
                SymbolNode* n = TakeNode(s);
                *n = SymbolNode{b, 2, nullptr};
                e.node->next = n;
                r->age >>= 1;
                r->distinct = static_cast<uint8_t>(r->distinct + 1);
                r->total = static_cast<int16_t>(r->total + 2);
                break;
            }
        }
    }
    model.updateCount = 0;
    model.excluded = false;
}

void PpmOrderZeroUpdate(PpmModel& model, int position) {
    RankedOrderZero& z = model.zero;
    if (z.escape + z.sum >= kOrderZeroRescaleLimit) {
        if (z.escape > 1) {
            --z.escape;
        }
        z.sum = 0;
        for (uint16_t& f : z.frequency) {
            f = static_cast<uint16_t>(f - (f >> 1));
            z.sum += f;
        }
    }
    const uint16_t f = z.frequency[position];
    int q = position;
    while (q > 0 && z.frequency[q - 1] == f) {
        --q;
    }
    if (q < position) {
        const uint8_t a = z.value[q], b = z.value[position];
        z.value[q] = b;
        z.value[position] = a;
        z.position[b] = static_cast<uint8_t>(q);
        z.position[a] = static_cast<uint8_t>(position);
    }
    z.frequency[q] = static_cast<uint16_t>(z.frequency[q] + 2);
    z.sum += 2;
}

void PpmRemoveNovel(PpmModel& model, uint8_t value) {
    if (model.novel.novel[value]) {
        model.novel.novel[value] = false;
        --model.novel.count;
        if (model.novel.count == 0) {
            model.zero.escape = 0;
        }
    }
}
