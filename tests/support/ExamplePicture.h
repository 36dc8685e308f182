#ifndef VQ_TESTS_EXAMPLEPICTURE_H
#define VQ_TESTS_EXAMPLEPICTURE_H

#include <string>

// The pictures beside the examples, examples/<name>/picture.png, are shots of
// this size.
const int examplePictureWidth = 640;
const int examplePictureHeight = 360;

std::string examplePicturePath(const std::string& name);

// Runs program (a path) with --size and --shot into shotPath, in
// workingDirectory, on the tests' X display. Empty, or what went wrong with
// the program's output.
std::string shootExample(const std::string& program, const std::string& workingDirectory,
                         const std::string& shotPath);

// Compares a shot with the named example's picture by the rule the show's
// references use. Empty, or a description of the difference; the shot and a
// picture of the difference are then kept in <build>/reference-failures/.
std::string compareWithExamplePicture(const std::string& shotPath, const std::string& name);

// The same for a picture elsewhere: label names the failure's files in
// <build>/reference-failures/, and update says how to draw it again.
std::string compareWithPicture(const std::string& shotPath, const std::string& picturePath, const std::string& label,
                               const std::string& update);

#endif
