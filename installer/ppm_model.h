#pragma once
// The context model shared by the picture decoder and its encoder: contexts of
// orders 5, 3, 2 and 1 held in fixed pools and hash tables, the ranked order-0
// model, the uniform model of never-seen values, exclusion stamps and the list
// of contexts to update after each byte. Both sides drive it through the same
// functions, so they stay in step.

#include <cstdint>
#include <memory>

inline constexpr int kPpmOrderCount = 8;
inline constexpr int kPpmHighestOrder = 5;
inline constexpr int kOrderZeroRescaleLimit = 1535;
inline constexpr int kOrderZeroStartEscape = 27;

struct SymbolNode {
    uint8_t symbol;
    uint16_t frequency;
    SymbolNode* next;
};

struct ContextRecord {
    int16_t total;       // sum of the frequencies of its symbols
    uint8_t context[7];  // the most recent bytes, newest first
    uint8_t age;
    uint8_t distinct;  // number of symbols and escape frequency; 256 symbols count 0
    SymbolNode first;
    ContextRecord* next;  // next record of the same hash slot
};

struct OrderConfig {
    int records;
    int nodes;
    int slots;
    int ageLimit;
    int nextLower;
    int searches;
    int rescaleLimit;
};

extern const OrderConfig kOrderConfig[kPpmOrderCount];

struct OrderState {
    std::unique_ptr<ContextRecord[]> records;
    std::unique_ptr<SymbolNode[]> nodes;
    std::unique_ptr<ContextRecord*[]> slots;
    ContextRecord* freeRecords = nullptr;  // most recently returned records
    int unusedRecords = 0;                 // records never handed out begin here
    SymbolNode* freeNodes = nullptr;
    int unusedNodes = 0;
    int phase = 0;  // parity of the slots the next reclamation pass visits
    long reclamationPasses = 0;
};

enum class UpdateKind : uint8_t { kFound, kEscaped, kNew };

struct UpdateEntry {
    UpdateKind kind;
    int order;
    ContextRecord* record;
    SymbolNode* node;  // the byte's node (found) or the context's last node (escaped)
};

struct RankedOrderZero {
    uint8_t value[256];       // position -> value
    uint8_t position[256];    // value -> position
    uint16_t frequency[256];  // by position
    int escape;
    int sum;  // sum of all frequencies
};

struct UniformNovelModel {
    bool novel[256];  // never decoded yet
    int count;
};

struct PpmModel {
    OrderState orders[kPpmOrderCount];
    RankedOrderZero zero;
    UniformNovelModel novel;
    int32_t stamp[256];  // number of the byte during which the value was last excluded
    int32_t byteNumber;  // number of the byte being coded, from 0
    bool excluded;       // the current byte has already escaped from a context
    uint8_t history[5];  // h0 (newest) ... h4
    UpdateEntry updates[kPpmOrderCount];
    int updateCount;
    int currentOrder;
};

// Counters that show which parts of the model a coding run exercised.
struct PpmStats {
    long reclamationPasses[kPpmOrderCount];
    int finalOrderZeroEscape;
};

// Sets up a fresh model (pools, tables, the order-0 and novel models, stamps,
// history 1, 2, 4, 8, 16).
void PpmModelInit(PpmModel& model);

// The memory of the pools in whole megabytes, as the report gives it.
long PpmMemoryMegabytes();

PpmStats PpmModelStats(const PpmModel& model);

// Context search from the given order; returns the context found or nullptr
// and leaves the order reached in model.currentOrder.
ContextRecord* PpmSearch(PpmModel& model, int order);

// Updates the contexts visited for byte b, then clears the update list and
// the exclusion flag.
void PpmUpdateContexts(PpmModel& model, uint8_t b);

// Order-0 update for the position of the byte just coded.
void PpmOrderZeroUpdate(PpmModel& model, int position);

// Removes a value from the novel set (order -1).
void PpmRemoveNovel(PpmModel& model, uint8_t value);

// Shifts the history and advances the byte number after a byte is coded.
inline void PpmPushHistory(PpmModel& model, uint8_t b) {
    model.history[4] = model.history[3];
    model.history[3] = model.history[2];
    model.history[2] = model.history[1];
    model.history[1] = model.history[0];
    model.history[0] = b;
    ++model.byteNumber;
}

inline void PpmAddUpdate(PpmModel& model, UpdateKind kind, int order, ContextRecord* record,
                         SymbolNode* node) {
    model.updates[model.updateCount++] = UpdateEntry{kind, order, record, node};
}
