#pragma once
// StageQueue: hands chunks of work from one producing thread to one consuming thread, in order,
// through a fixed pool of chunks. The producer fills a free chunk and publishes it; the consumer
// takes the published chunks in the order they came and gives each back when it is done with
// it. No more than the pool's chunks ever exist, so memory stays bounded whatever the speeds of
// the two sides, and the buffers inside a chunk are reused round after round.
//
// Each published chunk carries a weight (its bytes, say) until it is given back: the producer
// may wait until the weight held by the consumer's side is small enough, so that a few huge
// chunks cannot pile up where many small ones may.
//
// Either side can end the hand-over: the producer with Finish (no more chunks; the consumer
// still takes what was published), the consumer with Stop (the producer's next Acquire
// answers nullptr, and so does every Take).

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace tabrook {

template <typename Chunk>
class StageQueue {
public:
    explicit StageQueue(std::size_t chunks) : pool_(chunks), weights_(chunks, 0) {
        for (Chunk& chunk : pool_) free_.push_back(&chunk);
    }
    StageQueue(const StageQueue&) = delete;
    StageQueue& operator=(const StageQueue&) = delete;

    // Producer: a free chunk to fill, waiting for one and until the chunks published and not
    // yet given back weigh heldAtMost or less; nullptr once the consumer stopped.
    Chunk* Acquire(std::size_t heldAtMost = SIZE_MAX) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || (!free_.empty() && held_ <= heldAtMost); });
        if (stopped_) return nullptr;
        Chunk* chunk = free_.back();
        free_.pop_back();
        return chunk;
    }
    // Producer: queues a filled chunk for the consumer.
    void Publish(Chunk* chunk, std::size_t weight = 0) {
        {
            std::lock_guard lock(mutex_);
            weights_[Index(chunk)] = weight;
            held_ += weight;
            full_.push_back(chunk);
        }
        changed_.notify_all();
    }
    // Producer: no chunk follows the ones published.
    void Finish() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        changed_.notify_all();
    }

    // Consumer: the next published chunk, waiting for it; nullptr when the producer finished
    // and every chunk was taken, or after Stop.
    Chunk* Take() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_ || finished_ || !full_.empty(); });
        if (stopped_ || full_.empty()) return nullptr;
        Chunk* chunk = full_.front();
        full_.pop_front();
        return chunk;
    }
    // Consumer: gives a taken chunk back for the producer to fill again.
    void Release(Chunk* chunk) {
        {
            std::lock_guard lock(mutex_);
            held_ -= weights_[Index(chunk)];
            weights_[Index(chunk)] = 0;
            free_.push_back(chunk);
        }
        changed_.notify_all();
    }
    // Consumer: wants no more chunks; the producer's waits end.
    void Stop() {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
    }

private:
    std::size_t Index(const Chunk* chunk) const { return static_cast<std::size_t>(chunk - pool_.data()); }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Chunk> pool_;  // never resized: the chunks keep their addresses
    std::vector<std::size_t> weights_;  // per chunk of the pool, while it is published
    std::size_t held_ = 0;              // the weights of the chunks published, not given back
    std::vector<Chunk*> free_;
    std::deque<Chunk*> full_;
    bool finished_ = false;
    bool stopped_ = false;
};

// The consumer's side item by item: the items of each chunk taken in turn (a chunk has Items
// and Count, the first Count items in use), each chunk given back once its items are passed.
template <typename Chunk>
class StageItems {
public:
    explicit StageItems(StageQueue<Chunk>& queue) : queue_(queue) {}

    // The next item, valid until the next call; nullptr after the last one.
    auto* Next() {
        for (;;) {
            if (chunk_ != nullptr && next_ < chunk_->Count) return &chunk_->Items[next_++];
            if (chunk_ != nullptr) {
                queue_.Release(chunk_);
                chunk_ = nullptr;
            }
            if (ended_) return static_cast<decltype(&chunk_->Items[0])>(nullptr);
            chunk_ = queue_.Take();
            next_ = 0;
            if (chunk_ == nullptr) ended_ = true;
        }
    }
    // The chunk of the item Next last returned (nullptr after the last one).
    const Chunk* Current() const { return chunk_; }

private:
    StageQueue<Chunk>& queue_;
    Chunk* chunk_ = nullptr;
    std::size_t next_ = 0;
    bool ended_ = false;
};

}  // namespace tabrook
