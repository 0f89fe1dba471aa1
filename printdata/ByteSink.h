#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace logosmith {

// Where command streams are written: a byte vector in memory or a file. Each call is one write
// of the output; the encoders hand over whole lines, never single bytes.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void write(const std::uint8_t* data, std::size_t size) = 0;
    void write(const std::vector<std::uint8_t>& bytes) { write(bytes.data(), bytes.size()); }
};

// Appends to a vector the caller owns.
class VectorSink : public ByteSink {
  public:
    explicit VectorSink(std::vector<std::uint8_t>& out) : out_(out) {}
    using ByteSink::write;
    void write(const std::uint8_t* data, std::size_t size) override {
        out_.insert(out_.end(), data, data + size);
    }

  private:
    std::vector<std::uint8_t>& out_;
};

// Creates or truncates a file and writes to it. A failed write or close throws FileError, so a
// truncated command file is never taken for a finished one.
class FileSink : public ByteSink {
  public:
    explicit FileSink(const std::string& path);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    using ByteSink::write;
    void write(const std::uint8_t* data, std::size_t size) override;
    // Closes the file, reporting a failure; the destructor closes silently.
    void close();

  private:
    std::string path_;
    int fd_ = -1;
};

} // namespace logosmith
