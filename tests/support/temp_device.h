// Each test gets its own device in a temporary folder, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

// The whole content of a file; empty when it cannot be read.
std::string read_whole_file(const std::string &path);

// Makes a fresh temporary folder; the caller removes it with remove_tree.
std::string make_temp_folder(const char *tag);
void remove_tree(const std::string &path);

class TempDevice : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Host path of a file or folder inside the device root.
    std::string host(const char *relative) const { return root + "/" + relative; }
    // The same, with the folders on the way made.
    std::string host_with_folders(const std::string &relative) const;
    std::string root;
};
