/* The bare floor of `lexbin --note x`: the same record appended by a plain C program
   (open, write, fdatasync, close), no Qt loaded. */
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        return 2;
    }
    char record[64];
    const time_t now = time(NULL);
    struct tm local;
    localtime_r(&now, &local);
    const size_t length = strftime(record, sizeof record, "%Y/%m/%d,%H:%M,C,x\r\n", &local);
    const int fd = open(argv[1], O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return 1;
    }
    const int written = write(fd, record, length) == (ssize_t)length && fdatasync(fd) == 0;
    return close(fd) == 0 && written ? 0 : 1;
}
