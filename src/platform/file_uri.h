#pragma once

#include <optional>
#include <string>

/// The path of this system that the (percent-decoded) path of a file URI names: on Linux the same text; on
/// Windows "/C:/dir/a.txt" is "C:\dir\a.txt" (editors write the drive after a slash, and "/" between the
/// parts). Nothing on Windows for a path with a colon other than its drive's: "C:\dir\K:a.txt" would name
/// a stream of the file K, and a name joined to it a place on another drive.
std::optional<std::string> system_path_of_uri_path(std::string uri_path);

/// The path of a file URI for a path of this system: the reverse ("C:\dir\a.txt" gives "/C:/dir/a.txt").
std::string uri_path_of_system_path(std::string path);

/// A path as the reference of a file URI names it, for a tool that takes a URI (a SARIF log): the path of
/// this system (uri_path_of_system_path), every byte but the unreserved characters (letters, digits,
/// "-._~") and "/" percent-encoded ("citt\xE0 1.txt" gives "citt%E0%201.txt"); a relative path stays
/// relative. A file URI is "file://" and the reference of an absolute path.
std::string uri_reference_of_path(const std::string& path);
