// A standard-call caller written out in machine code, so that the tests can
// see how many bytes of arguments the callee really removes from the stack
// (32-bit x86 Linux only; elsewhere this file is empty).
#include "tests/unit/params/ParamRawCall.h"

#if defined(RAW_STACK_CHECK)
asm(R"(
    .text
    .globl ParamRawStdcall
    .type ParamRawStdcall, @function
ParamRawStdcall:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl %esp, %edi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    leal (,%ecx,4), %edx
    subl %edx, %esp
    andl $-16, %esp
    addl %edx, %esp
    movl %esp, %ebx
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    movl %ebx, %edx
    subl %esp, %edx
    movl 20(%ebp), %ecx
    movl %edx, (%ecx)
    movl %edi, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
    .size ParamRawStdcall, .-ParamRawStdcall
)");
#endif
