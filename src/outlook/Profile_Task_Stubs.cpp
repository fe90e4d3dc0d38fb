// Temporary: lets the profile link until the task files land.
#include "outlook/Item_Files.h"

namespace bc::outlook {

__attribute__((weak)) std::shared_ptr<Task_Item> New_Task_File(const Task_File_Context&)
{
    return nullptr;
}
__attribute__((weak)) std::shared_ptr<Task_Item> Load_Task_File(const QString&, const QString&)
{
    return nullptr;
}

} // namespace bc::outlook
