#include "frame/artwork.h"

// The XBM files define <name>_bits, <name>_width and <name>_height.
#include "frame/images/open_file.xbm"
#include "frame/images/save_file.xbm"
#include "frame/images/quit.xbm"
#include "frame/images/go_to_line.xbm"
#include "frame/images/find_forward.xbm"
#include "frame/images/find_backward.xbm"
#include "frame/images/find_next_forward.xbm"
#include "frame/images/find_next_backward.xbm"
#include "frame/images/cut_string.xbm"
#include "frame/images/copy_string.xbm"
#include "frame/images/insert_string.xbm"
#include "frame/images/compile.xbm"
#include "frame/images/run.xbm"
#include "frame/images/run_in_foreground.xbm"
#include "frame/images/previous_error.xbm"
#include "frame/images/first_error.xbm"
#include "frame/images/next_error.xbm"
#include "frame/images/last_error.xbm"
#include "frame/images/close_results.xbm"
#include "frame/images/close_project.xbm"
#include "frame/images/main_icon.xbm"
#include "frame/images/results_icon.xbm"

const XbmImage openFileImage = {open_file_bits, open_file_width, open_file_height};
const XbmImage saveFileImage = {save_file_bits, save_file_width, save_file_height};
const XbmImage quitImage = {quit_bits, quit_width, quit_height};
const XbmImage goToLineImage = {go_to_line_bits, go_to_line_width, go_to_line_height};
const XbmImage findForwardImage = {find_forward_bits, find_forward_width, find_forward_height};
const XbmImage findBackwardImage = {find_backward_bits, find_backward_width, find_backward_height};
const XbmImage findNextForwardImage = {find_next_forward_bits, find_next_forward_width, find_next_forward_height};
const XbmImage findNextBackwardImage = {find_next_backward_bits, find_next_backward_width, find_next_backward_height};
const XbmImage cutStringImage = {cut_string_bits, cut_string_width, cut_string_height};
const XbmImage copyStringImage = {copy_string_bits, copy_string_width, copy_string_height};
const XbmImage insertStringImage = {insert_string_bits, insert_string_width, insert_string_height};
const XbmImage compileImage = {compile_bits, compile_width, compile_height};
const XbmImage runImage = {run_bits, run_width, run_height};
const XbmImage runInForegroundImage = {run_in_foreground_bits, run_in_foreground_width, run_in_foreground_height};
const XbmImage previousErrorImage = {previous_error_bits, previous_error_width, previous_error_height};
const XbmImage firstErrorImage = {first_error_bits, first_error_width, first_error_height};
const XbmImage nextErrorImage = {next_error_bits, next_error_width, next_error_height};
const XbmImage lastErrorImage = {last_error_bits, last_error_width, last_error_height};
const XbmImage closeResultsImage = {close_results_bits, close_results_width, close_results_height};
const XbmImage closeProjectImage = {close_project_bits, close_project_width, close_project_height};
const XbmImage mainIconImage = {main_icon_bits, main_icon_width, main_icon_height};
const XbmImage resultsIconImage = {results_icon_bits, results_icon_width, results_icon_height};
