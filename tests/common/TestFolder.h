// A fresh temporary folder per test, removed with its contents afterwards. Standard C++
// only, so the same tests run on Windows (under Wine) and natively.
#pragma once
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class TestFolder {
public:
    explicit TestFolder(const char* name)
    {
        static int s_count = 0;
        std::error_code ignored;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(ignored);
        // Distinct per process and per folder, so parallel test programs never share one.
        m_path = (temp / ("qm_" + std::string(name) + "_" + std::to_string(ProcessNumber()) + "_" +
                          std::to_string(++s_count)))
                     .string();
        Remove(m_path);
        std::filesystem::create_directories(m_path, ignored);
    }
    ~TestFolder() { Remove(m_path); }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const char* name) const { return m_path + Separator() + name; }
    static std::string Separator()
    {
        return std::string(1, (char)std::filesystem::path::preferred_separator);
    }

    static void Remove(const std::string& path)
    {
        std::error_code ignored;
        // Read-only files would stop the removal on Windows.
        for (auto it = std::filesystem::recursive_directory_iterator(path, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path, ignored);
    }

private:
    static unsigned long ProcessNumber()
    {
        static const unsigned long number =
            (unsigned long)(std::random_device{}() ^
                            (unsigned long)std::chrono::steady_clock::now().time_since_epoch().count());
        return number % 1000000;
    }
    std::string m_path;
};
